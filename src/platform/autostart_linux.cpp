// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "autostart.h"
#include "file_name.h"
#include "file_replace.h"
#include "folder_create.h"

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

QString ConfigHome() {
  // A relative value is invalid by the base directory rules and must be ignored.
  const QString config = DecodeName(qgetenv("XDG_CONFIG_HOME"));
  if (config.startsWith(u'/')) return config;
  const QString home = DecodeName(qgetenv("HOME"));
  return (home.startsWith(u'/') ? home : QDir::homePath()) + u"/.config"_s;
}

// One argument of an Exec line: quoted and escaped where the desktop entry rules ask for it, so that a launcher
// splits it back into the same text.
QString ExecArgument(const QString& text) {
  static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
  QString arg;
  const bool quote = std::any_of(text.begin(), text.end(), [](QChar c) { return reserved.contains(c); });
  for (const QChar c : text) {
    if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) arg += u'\\';
    arg += c;
  }
  if (quote) arg = u'"' + arg + u'"';
  // A lone % would start a field code.
  arg.replace(u'%', u"%%"_s);
  return arg;
}

// The string escapes every desktop entry value has, on top of the Exec quoting.
QString EntryValue(const QString& text) {
  QString value;
  for (const QChar c : text) {
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

bool Exists(const QByteArray& path) {
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0;
}

}  // namespace

QString AutostartEntryFile() { return ConfigHome() + u"/autostart/foldwarn.desktop"_s; }

std::optional<QString> DesktopExec(const QString& programFile) {
  // An entry is UTF-8 text: a byte of the path that is no character cannot be written in it.
  if (programFile.isEmpty() || DisplayName(programFile) != programFile) return std::nullopt;
  if (!programFile.contains(u'%')) return EntryValue(ExecArgument(programFile));
  // GLib looks for the program by its name before it turns "%%" back into "%", and finds none: the shell is the
  // program then, and the path its argument.
  return EntryValue(u"/bin/sh -c \"exec \\\"\\$0\\\"\" "_s + ExecArgument(programFile));
}

std::optional<QString> AutostartEntry(const QString& programFile) {
  const std::optional<QString> exec = DesktopExec(programFile);
  if (!exec) return std::nullopt;
  // TryExec: once the program is gone, the session passes the entry by.
  return u"[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Foldwarn\n"
         "Comment=Plays a sound when files arrive in or leave a folder\n"
         "Comment[de]=Spielt einen Ton, wenn Dateien in einem Ordner ankommen oder verschwinden\n"
         "TryExec="_s +
         EntryValue(programFile) + u"\nExec="_s + *exec +
         u"\n"
         "Icon=foldwarn\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n"_s;
}

bool SetAutostart(bool on, const QString& programFile, QString* error) {
  const QString entry = AutostartEntryFile();
  const auto failed = [error](const QString& what, int code) {
    *error = DisplayName(what) + u": "_s + QString::fromLocal8Bit(std::strerror(code));
    return false;
  };
  const std::optional<QByteArray> entryName = EncodeName(entry);
  if (!entryName) {
    *error = DisplayName(entry) + u": names no file"_s;
    return false;
  }
  if (!on) {
    if (::unlink(entryName->constData()) == 0 || errno == ENOENT) return true;
    return failed(entry, errno);
  }
  if (programFile.isEmpty()) {
    *error = u"the program's own file is unknown"_s;
    return false;
  }
  const std::optional<QString> text = AutostartEntry(programFile);
  if (!text) {
    *error = DisplayName(programFile) + u": a desktop entry cannot name this path (it is not UTF-8)"_s;
    return false;
  }
  // The base directory rules want a config home made for its owner alone.
  const QString config = ConfigHome();
  const std::optional<QByteArray> configName = EncodeName(config);
  if (configName && !Exists(*configName)) {
    if (!MakeFolders(config)) return failed(config, errno);
    ::chmod(configName->constData(), 0700);
  }
  const QString folder = entry.left(entry.lastIndexOf(u'/'));
  if (!MakeFolders(folder)) return failed(folder, errno);
  // Written beside and renamed over: a session starting meanwhile never reads half an entry.
  const WriteResult written = ReplaceFileContents(entry, text->toUtf8());
  if (written.state == WriteState::Done) return true;
  if (written.state == WriteState::Failed) return failed(entry, written.error);
  *error = DisplayName(entry) + u": another user's file"_s;
  return false;
}

QString RunningProgramFile() {
  char target[4096];
  const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
  return length > 0 && size_t(length) < sizeof target ? DecodeName(QByteArrayView(target, length)) : QString();
}

}  // namespace Platform
