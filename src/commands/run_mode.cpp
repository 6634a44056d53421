// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_mode.h"

#include <QDir>
#include <QFileInfo>

#include "commands/commands.h"
#include "platform/file_name.h"
#include "platform/paths.h"

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

// By the variable's bytes, which QStandardPaths and QDir::homePath() would not all keep; a relative value is
// ignored, as the base directory rules say.
QString FolderFromEnvironment(const char* variable, const QString& otherwise) {
  const QString set = Platform::DecodeName(qgetenv(variable));
  return set.startsWith(u'/') ? set : otherwise;
}

}  // namespace

Places ChoosePlaces(const PlaceFacts& facts) {
  Places places;
  places.programFolder = facts.programFolder;
  if (!facts.installed && facts.programSettingsWritable) {
    places.mode = RunMode::Portable;
    places.settingsRead = places.settingsWrite = facts.programSettings;
    places.defaultFolder = facts.programFolder;
    return places;
  }
  places.mode = RunMode::Installed;
  places.settingsRead = facts.userSettingsExists ? facts.userSettings : facts.programSettings;
  places.settingsWrite = facts.userSettings;
  places.userToneFolder = facts.userToneFolder;
  places.defaultFolder = facts.home;
  return places;
}

QString ProgramSettingsFile(const QString& programFolder, const QString& exeName) {
  // Always ".exe", whatever the real extension: the last three characters become "ini".
  const QString longName = GetLongPath(programFolder + exeName + u".exe"_s);
  return longName.size() >= 3 ? longName.chopped(3) + u"ini"_s : QString();
}

QString UserSettingsFile() {
  const QString home = FolderFromEnvironment("HOME", QDir::homePath());
  return FolderFromEnvironment("XDG_CONFIG_HOME", home + u"/.config"_s) + u"/foldwarn/foldwarn.ini"_s;
}

Places FindPlaces(const QString& programFile) {
  const QFileInfo program(programFile);
  PlaceFacts facts{};
  facts.installed = FOLDWARN_INSTALLED;  // set by the package build (FOLDWARN_PACKAGED)
  facts.programFolder = program.absolutePath();
  AddBackslash(facts.programFolder);
  const QString exeName = program.completeBaseName();
  facts.programSettings = ProgramSettingsFile(facts.programFolder, exeName);
  facts.programSettingsWritable = Platform::CanReplaceFile(facts.programSettings);
  const QString home = FolderFromEnvironment("HOME", QDir::homePath());
  const QString data = FolderFromEnvironment("XDG_DATA_HOME", home + u"/.local/share"_s);
  facts.userSettings = UserSettingsFile();
  facts.userSettingsExists = FileExists(facts.userSettings);
  facts.userToneFolder = data + u"/foldwarn/"_s;
  facts.home = home;
  AddBackslash(facts.home);

  Places places = ChoosePlaces(facts);
  places.exeName = exeName;
  return places;
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

QString ToneFile(const QString& name, const QString& programFolder, const QString& userToneFolder) {
  const QStringList folders =
      userToneFolder.isEmpty() ? QStringList{programFolder} : QStringList{userToneFolder, programFolder};
  return LocateTone(name, folders, FileExists);
}

}  // namespace Commands
