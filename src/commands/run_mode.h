// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Portable or installed: where the program's files live, decided once at start and handed on as a value.
namespace Commands {

enum class RunMode { Portable, Installed };

// What the choice depends on, gathered by FindPlaces.
struct PlaceFacts {
  bool installed;                // built for a package: never portable, whoever runs it
  QString programSettings;       // the settings file beside the program
  bool programSettingsWritable;  // by this user, in place or as a new file in its folder, and this user's own
  QString userSettings;          // $XDG_CONFIG_HOME/foldwarn/foldwarn.ini
  bool userSettingsExists;
  QString userToneFolder;  // $XDG_DATA_HOME/foldwarn/, ending in the separator
  QString programFolder;   // ending in the separator
  QString home;            // the user's home folder, ending in the separator
};

struct Places {
  RunMode mode = RunMode::Portable;
  QString programFolder;  // ending in the separator
  QString exeName;        // the program file's name without folder and extension
  QString settingsRead;
  QString settingsWrite;
  QString userToneFolder;  // empty when portable
  QString defaultFolder;   // watched when no folder is stored
};

// Portable when the program was not installed by a package and its settings file can be written by this user
// and is his: everything beside the program, which is also the folder watched by default. Installed otherwise
// (root too, who could write the program's folder): the user's file is read when it exists (else the
// administrator's beside the program) and is always the one written; the user's tone folder joins the program
// folder's, and the user's home is watched by default (the program folder never changes there).
Places ChoosePlaces(const PlaceFacts& facts);

// $XDG_CONFIG_HOME/foldwarn/foldwarn.ini: where an installed program keeps the user's settings, and where they
// go when the file beside the program is another user's.
QString UserSettingsFile();

// The settings file beside the program: named like the program file with the extension ".ini".
QString ProgramSettingsFile(const QString& programFolder, const QString& exeName);

// Works out every place from the program file and the XDG places. Looks, makes nothing.
Places FindPlaces(const QString& programFile);

// The file a bare tone name means: the first of the folders (each ending in the separator) that holds it,
// else the last folder's, which then names a missing file.
QString LocateTone(const QString& name, const QStringList& folders, const std::function<bool(const QString&)>& exists);

// The file a bare tone name from a list or the settings means: the user's tone of that name when there is one,
// else the program folder's.
QString ToneFile(const QString& name, const QString& programFolder, const QString& userToneFolder);

}  // namespace Commands
