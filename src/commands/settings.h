// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Commands {

// The four stored settings as text, in the order the file has them.
struct Settings {
  QString watchedPath;  // "LetzterPfad"
  QString interval;     // "Zeit", seconds
  QString addSound;     // "addSound", a bare file name
  QString removeSound;  // "removeSound", a bare file name
};

// What a fresh program folder starts with; the watched folder defaults to the program folder.
Settings DefaultSettings();
// Each setting from the settings file, its default where it is missing or empty.
Settings ReadSettings();
// Each setting into the settings file; one that cannot be written does not keep the others from it.
void WriteSettings(const Settings& settings);

}  // namespace Commands
