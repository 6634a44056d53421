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

// The section every setting lives in; also the main window's caption and the default message title.
inline constexpr QLatin1StringView SettingsSectionName("Divuvadi Foldwarn");

// What a fresh start has: the given folder is watched.
Settings DefaultSettings(const QString& watchedFolder);
// Each setting from the file, its default where it is missing or empty.
Settings ReadSettings(const QString& file, const Settings& defaults);
// Each setting into the file; one that cannot be written does not keep the others from it.
void WriteSettings(const QString& file, const Settings& settings);

}  // namespace Commands
