#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace Platform {

#ifdef Q_OS_WIN
inline constexpr QChar Separator = u'\\';
#else
inline constexpr QChar Separator = u'/';
#endif

// The long form of a path as the platform reports it, or nothing when it cannot give one.
std::optional<QString> LongPathName(const QString& path);

// True for an existing folder whose entries can be listed.
bool IsListableFolder(const QString& path);

// True when the file can be opened for reading now, without blocking (folders, pipes and sockets are not files).
bool CanOpenFileForReading(const QString& path);

}  // namespace Platform
