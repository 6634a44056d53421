#pragma once

#include <QString>

// Program-wide values and the shared routines of the start-up module.
namespace Commands {

inline QString AppFolder;        // the program file's folder, always ending in the separator
inline QString ExeName;          // the program file's name without folder and extension
inline QString SettingsSection;  // "Divuvadi Foldwarn": settings section, window caption, default message title
inline QString SettingsFile;     // full path of the settings file

// Start-up
void Main();
void InitProgramFolders();

// Settings file
void InitSettingsFile();
QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue);
QString WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file);

// Paths. AddBackslash appends the separator to the caller's variable itself.
QString AddBackslash(QString& path);
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
QString GetLongPath(const QString& path);
// The fallback of GetLongPath where the platform gives no long form: re-cases a path word by word.
QString RecasePath(const QString& path);

}  // namespace Commands
