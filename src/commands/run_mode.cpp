// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_mode.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "commands/commands.h"
#include "platform/paths.h"

using namespace Qt::StringLiterals;

namespace Commands {

Places ChoosePlaces(const PlaceFacts& facts) {
  if (facts.programSettingsWritable)
    return {RunMode::Portable, facts.programSettings, facts.programSettings, QString()};
  return {RunMode::Installed, facts.userSettingsExists ? facts.userSettings : facts.programSettings, facts.userSettings,
          facts.userToneFolder};
}

QString LocateTone(const QString& name, const QStringList& folders, const std::function<bool(const QString&)>& exists) {
  if (folders.isEmpty()) return name;
  // The last folder is the answer whether its file exists or not: no look at the disk for it, so a
  // portable program plays a tone without touching the disk on the window's thread.
  for (qsizetype i = 0; i + 1 < folders.size(); ++i) {
    if (exists(folders[i] + name)) return folders[i] + name;
  }
  return folders.last() + name;
}

void InitRunMode() {
  // QStandardPaths follows $XDG_CONFIG_HOME / $XDG_DATA_HOME and falls back to ~/.config, ~/.local/share.
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  PlaceFacts facts{SettingsFile, Platform::CanReplaceFile(SettingsFile), config + u"/foldwarn/foldwarn.ini"_s, false,
                   data + u"/foldwarn/"_s};
  facts.userSettingsExists = FileExists(facts.userSettings);
  const Places places = ChoosePlaces(facts);
  SettingsSource = places.settingsRead;
  SettingsFile = places.settingsWrite;
  UserToneFolder = places.userToneFolder;
  // The user's settings folder is made here, so the write at close finds it.
  if (places.mode == RunMode::Installed) QDir().mkpath(QFileInfo(SettingsFile).absolutePath());
}

QStringList ToneFolders() {
  return UserToneFolder.isEmpty() ? QStringList{AppFolder} : QStringList{UserToneFolder, AppFolder};
}

QString ToneFile(const QString& name) { return LocateTone(name, ToneFolders(), FileExists); }

}  // namespace Commands
