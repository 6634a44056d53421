// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "commands/commands.h"
#include "commands/private_profile.h"
#include "commands/resume_next.h"
#include "commands/run_mode.h"
#include "platform/file_name.h"

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

// The platform's profile buffer holds 2048 characters including the terminator.
constexpr qsizetype MaxSettingLength = 2047;

struct Key {
  QLatin1StringView name;
  QString Settings::*value;
};
constexpr Key Keys[] = {{"LetzterPfad"_L1, &Settings::watchedPath},
                        {"Zeit"_L1, &Settings::interval},
                        {"addSound"_L1, &Settings::addSound},
                        {"removeSound"_L1, &Settings::removeSound}};

QString Stored(QString value, const QString& defaultValue) {
  if (value.size() > MaxSettingLength) {
    value.truncate(MaxSettingLength);
    if (value.back().isHighSurrogate()) value.chop(1);  // never leave half a character
  }
  return value.isEmpty() ? defaultValue : value;
}

QByteArray Printable(const QString& file) { return Platform::EncodeName(file).value_or(file.toLocal8Bit()); }

}  // namespace

QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue) {
  return Stored(ReadProfileString(section, key, file).value_or(QString()), defaultValue);
}

void WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file) {
  WriteProfileString(section, key, value, file);
}

Settings DefaultSettings(const QString& watchedFolder) {
  return {watchedFolder, u"60"_s, u"add.wav"_s, u"remove.wav"_s};
}

Settings ReadSettings(const QString& file, const Settings& defaults) {
  Settings settings = defaults;
  ResumeNext([&] {
    QStringList names;
    for (const Key& key : Keys) names.append(key.name);
    const ProfileRead read = ReadProfileStrings(SettingsSectionName, names, file);
    if (read.tooLarge) {
      // Said once, here: the save at close leaves such a file alone too.
      std::fprintf(stderr, "foldwarn: %s is larger than %lld MB: its settings are not used, and it is left as it is\n",
                   Printable(file).constData(), MaxProfileSize / (1024 * 1024));
    }
    for (qsizetype i = 0; i < names.size(); ++i)
      settings.*Keys[i].value = Stored(read.values[i].value_or(QString()), defaults.*Keys[i].value);
  });
  return settings;
}

bool WriteSettings(const QString& file, const Settings& settings) {
  // A setting that cannot be written (a line break in a folder's name) does not keep the others from the file.
  QList<ProfileEntry> entries;
  for (const Key& key : Keys) {
    const ProfileEntry entry{key.name, settings.*key.value};
    if (IsWritable(SettingsSectionName, entry)) entries.append(entry);
  }
  QString target = file;
  Platform::WriteResult result;
  ResumeNext([&] {
    result = WriteProfileStrings(SettingsSectionName, entries, target);
    if (result.state != Platform::WriteState::Foreign) return;
    // Another user's file, or his link on the way to it: the settings go to the user's own file instead, the
    // foreign one left as it is.
    target = UserSettingsFile();
    if (target == file) return;
    QDir().mkpath(QFileInfo(target).absolutePath());
    result = WriteProfileStrings(SettingsSectionName, entries, target);
  });
  if (result.state == Platform::WriteState::Done) return true;
  const QString reason =
      result.state == Platform::WriteState::Foreign ? u"it belongs to another user"_s : qt_error_string(result.error);
  // A file too large to use was named at start.
  if (result.error != EFBIG)
    std::fprintf(stderr, "foldwarn: the settings were not saved to %s: %s\n", Printable(target).constData(),
                 reason.toLocal8Bit().constData());
  return false;
}

}  // namespace Commands
