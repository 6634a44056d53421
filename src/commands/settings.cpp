// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include "commands/commands.h"
#include "commands/resume_next.h"
#include "platform/private_profile.h"

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

}  // namespace

QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue) {
  QString value = Platform::ReadProfileString(section, key, file).value_or(QString());
  if (value.size() > MaxSettingLength) {
    value.truncate(MaxSettingLength);
    if (value.back().isHighSurrogate()) value.chop(1);  // never leave half a character
  }
  return value.isEmpty() ? defaultValue : value;
}

void WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file) {
  Platform::WriteProfileString(section, key, value, file);
}

Settings DefaultSettings(const QString& watchedFolder) {
  return {watchedFolder, u"60"_s, u"add.wav"_s, u"remove.wav"_s};
}

Settings ReadSettings(const QString& file, const Settings& defaults) {
  Settings settings = defaults;
  for (const Key& key : Keys) {
    ResumeNext([&] { settings.*key.value = ReadSetting(SettingsSectionName, key.name, file, settings.*key.value); });
  }
  return settings;
}

void WriteSettings(const QString& file, const Settings& settings) {
  for (const Key& key : Keys)
    ResumeNext([&] { WriteSetting(SettingsSectionName, key.name, settings.*key.value, file); });
}

}  // namespace Commands
