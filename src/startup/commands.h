#pragma once

#include <QString>

class Form1;

// Program-wide values and the shared routines of the start-up module.
namespace Commands {

inline QString AppFolder;        // the program file's folder, always ending in the separator
inline QString ExeName;          // the program file's name without folder and extension
inline QString SettingsSection;  // "Divuvadi Foldwarn": settings section, window caption, default message title
inline QString SettingsFile;     // full path of the settings file

// Start-up. Main may run more than once in one process (tests); each run replaces the window of the last.
void Main();
void InitProgramFolders();
// The main window Main made, or null.
Form1* MainForm();
// Tests start Main as if the program file were here: program folder, name and settings file follow from it.
void SetProgramFileForTesting(const QString& programFile);

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
