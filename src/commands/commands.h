// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Program-wide values and the shared routines of the Commands module.
namespace Commands {

inline QString AppFolder;        // the program file's folder, always ending in the separator
inline QString ExeName;          // the program file's name without folder and extension
inline QString SettingsSection;  // "Divuvadi Foldwarn": settings section, window caption, default message title
inline QString SettingsFile;     // full path of the settings file, the one written

// The running program file, or the one a test put in its place.
QString ProgramFile();
// Tests start Main as if the program file were here: program folder, name and settings file follow from it.
void SetProgramFileForTesting(const QString& programFile);

QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue);
// A write that cannot be made is lost silently, as the original's was.
void WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file);

// Paths. AddBackslash appends the separator to the caller's variable itself.
QString AddBackslash(QString& path);
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
QString GetLongPath(const QString& path);

}  // namespace Commands
