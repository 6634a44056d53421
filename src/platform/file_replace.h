// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// Writing a small file whole so that no crash, full volume or failed call leaves half of it.
namespace Platform {

// What became of a write. Foreign: the file, or a link on its way, is another user's, and nothing was written.
enum class WriteState { Done, Foreign, Failed };
struct WriteResult {
  WriteState state = WriteState::Failed;
  int error = 0;  // the system's error number when it failed
};

// The file at the end of a chain of symbolic links, however long; the file itself when it is none. Only this
// user's links are followed, as the kernel's protected-symlinks rule does in folders others may write to; here in
// every folder, so that another user's link can never lead a write elsewhere. Foreign when a link on the way, or
// the existing file at its end, is another user's; failed for a loop, a missing folder or something that is no
// file.
struct ChainEnd {
  QString file;
  bool exists = false;
  WriteResult problem{WriteState::Done, 0};
};
ChainEnd OwnChainEnd(const QString& file);

// Reads a file piece by piece, each handed to take until it returns false, so that a large file need never be
// held whole. 0, or the system's error number; EFBIG, with nothing read, for a file larger than maxSize. Without
// followLinks a link there now is refused (ELOOP).
int ReadFileInPieces(const QString& file, qint64 maxSize, const std::function<bool(QByteArrayView)>& take,
                     bool followLinks = true);

// Makes data the file's whole contents. Normally through a temporary file "<file>.tmp-<pid>-<13 characters>"
// beside it, renamed over it, which takes the old file's owner, mode and extended attributes. Where a new file
// cannot stand in for the old one (more than one hard link, a folder that takes no new file, an owner or
// attributes a new file cannot get) the file is rewritten in place, so that an end at any point leaves each
// line an old or a new one (blank lines aside). The file is never written through a link nor when it is another
// user's: a link or foreign file found there now (swapped in since OwnChainEnd) is refused as foreign. Failed,
// with the file byte for byte as it was, when the volume is full or a call fails. Temporary files of saves that
// ended long ago are removed on the way.
WriteResult ReplaceFileContents(const QString& file, const QByteArray& data);

}  // namespace Platform
