// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

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

}  // namespace Platform
