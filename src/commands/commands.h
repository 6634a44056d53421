// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The shared routines of the Commands module.
namespace Commands {

QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue);
// A write that cannot be made is lost silently, as the original's was.
void WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file);

// Paths. AddBackslash appends the separator to the caller's variable itself.
QString AddBackslash(QString& path);
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
QString GetLongPath(const QString& path);

}  // namespace Commands
