// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "autostart.h"

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

QString ConfigHome() {
  // A relative value is invalid by the base directory rules and must be ignored.
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!config.isEmpty() && QDir::isAbsolutePath(config)) return config;
  return QDir::homePath() + u"/.config"_s;
}

}  // namespace

QString AutostartEntryFile() { return ConfigHome() + u"/autostart/foldwarn.desktop"_s; }

QString DesktopExecArgument(const QString& programFile) {
  static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
  QString arg;
  const bool quote = std::any_of(programFile.begin(), programFile.end(), [](QChar c) { return reserved.contains(c); });
  for (const QChar c : programFile) {
    if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) arg += u'\\';
    arg += c;
  }
  if (quote) arg = u'"' + arg + u'"';
  // A lone % would start a field code.
  arg.replace(u'%', u"%%"_s);
  // The string escapes of every desktop entry value come on top of the Exec quoting.
  QString value;
  for (const QChar c : arg) {
    if (c == u'\\')
      value += u"\\\\"_s;
    else if (c == u'\n')
      value += u"\\n"_s;
    else if (c == u'\t')
      value += u"\\t"_s;
    else if (c == u'\r')
      value += u"\\r"_s;
    else
      value += c;
  }
  return value;
}

QString AutostartEntry(const QString& programFile) {
  return u"[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Foldwarn\n"
         "Comment=Plays a sound when files arrive in or leave a folder\n"
         "Comment[de]=Spielt einen Ton, wenn Dateien in einem Ordner ankommen oder verschwinden\n"
         "Exec="_s +
         DesktopExecArgument(programFile) +
         u"\n"
         "Icon=foldwarn\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n"_s;
}

bool SetAutostart(bool on, const QString& programFile, QString* error) {
  const QString entry = AutostartEntryFile();
  if (!on) {
    if (!QFileInfo::exists(entry) && !QFileInfo(entry).isSymLink()) return true;
    QFile file(entry);
    if (file.remove()) return true;
    *error = entry + u": "_s + file.errorString();
    return false;
  }
  if (programFile.isEmpty()) {
    *error = u"the program's own file is unknown"_s;
    return false;
  }
  // The base directory rules want a config home made for its owner alone.
  const QString config = ConfigHome();
  if (!QFileInfo::exists(config)) {
    if (!QDir().mkpath(config)) {
      *error = config + u": cannot be created"_s;
      return false;
    }
    QFile::setPermissions(config, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QString folder = QFileInfo(entry).absolutePath();
  if (!QDir().mkpath(folder)) {
    *error = folder + u": cannot be created"_s;
    return false;
  }
  // Written beside and renamed over: a session starting meanwhile never reads half an entry.
  QSaveFile file(entry);
  if (!file.open(QIODevice::WriteOnly) || file.write(AutostartEntry(programFile).toUtf8()) < 0 || !file.commit()) {
    *error = entry + u": "_s + file.errorString();
    return false;
  }
  return true;
}

QString RunningProgramFile() { return QFileInfo(u"/proc/self/exe"_s).canonicalFilePath(); }

}  // namespace Platform
