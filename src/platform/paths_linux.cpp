// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "paths.h"

namespace Platform {

// A Linux path is already its long form; re-casing it would name another file.
QString LongPathName(const QString& path) { return path; }

bool IsListableFolder(const QString& path) {
  if (path.isEmpty() || path.contains(QChar(0))) return false;
  DIR* dir = ::opendir(QFile::encodeName(path).constData());
  if (!dir) return false;
  ::closedir(dir);
  return true;
}

bool CanOpenFileForReading(const QString& path) {
  if (path.isEmpty() || path.contains(QChar(0))) return false;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) && !S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode);
  ::close(fd);
  return regular;
}

bool CanReplaceFile(const QString& path) {
  if (path.isEmpty() || path.contains(QChar(0))) return false;
  const QFileInfo link(path);
  const QFileInfo file(link.isSymLink() ? link.symLinkTarget() : path);
  // Asked as the user the process acts for, as the writer then writes.
  const auto allowed = [](const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
  };
  // An administrator who hands a user a writable file in a read-only folder means it to be used.
  if (file.exists()) return file.isFile() && allowed(file.filePath(), W_OK);
  return allowed(file.absolutePath(), W_OK | X_OK);
}

}  // namespace Platform
