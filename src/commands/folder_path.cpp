// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "commands/commands.h"
#include "platform/paths.h"

namespace Commands {
namespace {

// Closes the folder handle it holds when it goes or takes another.
class FolderHandle {
 public:
  explicit FolderHandle(int fd) : fd_(fd) {}
  ~FolderHandle() { reset(-1); }
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// A handle on a folder that can be entered; -1 when the level is no folder or may not be entered.
int openLevel(int parent, const char* name) {
  const int fd = ::openat(parent, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 && ::faccessat(fd, ".", X_OK, AT_EACCESS) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

bool CreateFolderPath(QString& path) {
  AddBackslash(path);
  // The root is everything up to the first separator: "/" here, "C:\" on Windows.
  qsizetype start = path.indexOf(Platform::Separator);
  const QString root = path.left(start + 1);
  if (!QDir::isAbsolutePath(root)) return false;
  // Each level is made inside the handle of the one above: the process's current folder never moves, so no
  // volume is kept busy by it.
  FolderHandle here(openLevel(AT_FDCWD, QFile::encodeName(root).constData()));
  if (here.get() < 0) return false;

  for (qsizetype end = path.indexOf(Platform::Separator, start + 1); end >= 0;
       start = end, end = path.indexOf(Platform::Separator, start + 1)) {
    const QString level = path.mid(start + 1, end - start - 1);
    // "." and ".." would step sideways or out of the folder the path names; no file name holds a NUL.
    if (level.isEmpty() || level == u"." || level == u".." || level.contains(QChar(0))) return false;
    const QByteArray name = QFile::encodeName(level);
    // A level that exists already is accepted; whether it can be entered decides.
    if (::mkdirat(here.get(), name.constData(), 0777) != 0 && errno != EEXIST) return false;
    here.reset(openLevel(here.get(), name.constData()));
    if (here.get() < 0) return false;
  }
  return true;
}

}  // namespace Commands
