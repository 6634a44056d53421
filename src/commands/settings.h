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
// Each setting from the file, in one pass, its default where it is missing or empty; all defaults, said on
// standard error, for a file too large to use.
Settings ReadSettings(const QString& file, const Settings& defaults);
// Every setting into the file in one step; one that cannot be written does not keep the others from it. Where the
// file or a link on the way to it is another user's, the user's own file takes them. False, said on standard
// error with the file and the reason, when they could not be written.
bool WriteSettings(const QString& file, const Settings& settings);

}  // namespace Commands
