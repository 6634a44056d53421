// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QFile>
#include <QString>
#include <optional>

namespace Platform {

inline constexpr QChar Separator = u'/';
inline constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;

// The long form of a path, for file systems that keep short aliases of names.
QString LongPathName(const QString& path);

// True for an existing folder whose entries can be listed.
bool IsListableFolder(const QString& path);

// True for an existing folder, or a link to one, whether or not it can be listed now.
bool IsFolder(const QString& path);

// path made absolute against the working folder, with "." and ".." taken out; every byte kept.
QString AbsolutePath(const QString& path);

// True when the file can be opened for reading now, without blocking (folders, pipes and sockets are not files).
bool CanOpenFileForReading(const QString& path);

// True when this user can write the file the way the profile writer does: an existing file that is writable
// itself (through a new file renamed over it, or in place where its folder takes no new file), a missing one
// as a new file in its folder. A link is judged by the file it leads to; a file or link of another user's never
// counts (OwnChainEnd).
bool CanReplaceFile(const QString& path);

// The process's current folder, every byte kept; empty when the system does not say.
QString CurrentFolder();

// True when the path leads to anything now.
bool PathExists(const QString& path);

// Opens the file for reading by its name's bytes, which QFile's own naming would not keep.
bool OpenForReading(const QString& path, QFile& file);

// What tells that a file was rewritten: its size, modification and status change times (nanoseconds).
struct FileStamp {
  qint64 size = 0;
  qint64 modified = 0;
  qint64 changed = 0;
  bool operator==(const FileStamp&) const = default;
};
// Nothing when the path names no regular file now.
std::optional<FileStamp> StampOf(const QString& path);

}  // namespace Platform
