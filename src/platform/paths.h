#pragma once

#include <QChar>
#include <QString>

namespace Platform {

inline constexpr QChar Separator = u'/';

// The long form of a path, for file systems that keep short aliases of names.
QString LongPathName(const QString& path);

// True for an existing folder whose entries can be listed.
bool IsListableFolder(const QString& path);

// True when the file can be opened for reading now, without blocking (folders, pipes and sockets are not files).
bool CanOpenFileForReading(const QString& path);

}  // namespace Platform
