// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Writing a small file whole so that no crash, full volume or failed call leaves half of it.
namespace Platform {

// The file at the end of a chain of symbolic links, however long; the file itself when it is none. Empty for a
// loop.
QString LinkChainEnd(const QString& file);

// Makes data the file's whole contents. Normally through a temporary file "<file>.tmp-<pid>-<13 characters>"
// beside it, renamed over it, which takes the old file's owner, mode and extended attributes. Where a new file
// cannot stand in for the old one (more than one hard link, a folder that takes no new file, an owner or
// attributes a new file cannot get) the file is rewritten in place, so that an end at any point leaves each
// line an old or a new one (blank lines aside). False, with the file byte for byte as it was, when the volume
// is full or a call fails. Temporary files of saves that ended long ago are removed on the way.
bool ReplaceFileContents(const QString& file, const QByteArray& data);

}  // namespace Platform
