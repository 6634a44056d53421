// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include "commands/commands.h"
#include "commands/guarded.h"
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

void InitSettingsFile() {
  SettingsSection = u"Divuvadi Foldwarn"_s;
  // Always ".exe", whatever the real extension: the last three characters become "ini".
  const QString longName = GetLongPath(AppFolder + ExeName + u".exe"_s);
  if (longName.size() >= 3) SettingsFile = longName.chopped(3) + u"ini"_s;
}

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

Settings DefaultSettings() { return {AppFolder, u"60"_s, u"add.wav"_s, u"remove.wav"_s}; }

Settings ReadSettings() {
  Settings settings = DefaultSettings();
  const QString& file = SettingsSource.isEmpty() ? SettingsFile : SettingsSource;
  for (const Key& key : Keys) {
    Guarded([&] { settings.*key.value = ReadSetting(SettingsSection, key.name, file, settings.*key.value); });
  }
  return settings;
}

void WriteSettings(const Settings& settings) {
  for (const Key& key : Keys)
    Guarded([&] { WriteSetting(SettingsSection, key.name, settings.*key.value, SettingsFile); });
}

}  // namespace Commands
