// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Portable or installed: where the settings and the user's tones live, decided once at start.
namespace Commands {

enum class RunMode { Portable, Installed };

// What the choice depends on, gathered by InitRunMode.
struct PlaceFacts {
  QString programSettings;       // the settings file beside the program
  bool programSettingsWritable;  // by this user, in place or as a new file in its folder
  QString userSettings;          // $XDG_CONFIG_HOME/foldwarn/foldwarn.ini
  bool userSettingsExists;
  QString userToneFolder;  // $XDG_DATA_HOME/foldwarn/, ending in the separator
};

struct Places {
  RunMode mode;
  QString settingsRead;    // the file the settings are read from
  QString settingsWrite;   // the file they are written to
  QString userToneFolder;  // empty when portable
};

// Portable when the program's settings file can be written: everything beside the program. Installed
// otherwise: the user's file is read when it exists (else the administrator's beside the program) and is
// always the one written; the user's tone folder joins the program folder's.
Places ChoosePlaces(const PlaceFacts& facts);

// The file a bare tone name means: the first of the folders (each ending in the separator) that holds it,
// else the last folder's, which then names a missing file.
QString LocateTone(const QString& name, const QStringList& folders, const std::function<bool(const QString&)>& exists);

// Decides the way from the program's folder and the XDG places; needs InitSettingsFile first.
void InitRunMode();

// The tone folders in lookup order: the user's first.
QStringList ToneFolders();
// The file a bare tone name from a list or the settings means.
QString ToneFile(const QString& name);

}  // namespace Commands
