// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <climits>

#include "file_name.h"
#include "file_replace.h"
#include "paths.h"

using namespace Qt::StringLiterals;

namespace Platform {

// A Linux path is already its long form; re-casing it would name another file.
QString LongPathName(const QString& path) { return path; }

bool IsListableFolder(const QString& path) {
  const std::optional<QByteArray> name = EncodeName(path);
  if (!name) return false;
  DIR* dir = ::opendir(name->constData());
  if (!dir) return false;
  ::closedir(dir);
  return true;
}

bool IsFolder(const QString& path) {
  const std::optional<QByteArray> name = EncodeName(path);
  struct stat st {};
  return name && ::stat(name->constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString AbsolutePath(const QString& path) {
  if (path.startsWith(Separator)) return QDir::cleanPath(path);
  // QDir::currentPath would lose the bytes of a working folder whose name is not UTF-8.
  const QString current = CurrentFolder();
  return current.isEmpty() ? path : QDir::cleanPath(current + Separator + path);
}

bool CanOpenFileForReading(const QString& path) {
  const std::optional<QByteArray> name = EncodeName(path);
  if (!name) return false;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(name->constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) && !S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode);
  ::close(fd);
  return regular;
}

bool CanReplaceFile(const QString& path) {
  const ChainEnd end = OwnChainEnd(path);
  if (end.problem.state != WriteState::Done) return false;
  // Asked as the user the process acts for, as the writer then writes.
  const auto allowed = [](const QString& path, int mode) {
    const std::optional<QByteArray> bytes = EncodeName(path);
    return bytes && ::faccessat(AT_FDCWD, bytes->constData(), mode, AT_EACCESS) == 0;
  };
  // An administrator who hands a user a writable file in a read-only folder means it to be used.
  if (end.exists) return allowed(end.file, W_OK);
  const qsizetype slash = end.file.lastIndexOf(u'/');
  return allowed(slash < 0 ? u"."_s : end.file.left(std::max<qsizetype>(slash, 1)), W_OK | X_OK);
}

QString CurrentFolder() {
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) ? DecodeName(folder) : QString();
}

bool PathExists(const QString& path) {
  const std::optional<QByteArray> name = EncodeName(path);
  struct stat st {};
  return name && ::stat(name->constData(), &st) == 0;
}

bool OpenForReading(const QString& path, QFile& file) {
  const std::optional<QByteArray> name = EncodeName(path);
  if (!name) return false;
  const int fd = ::open(name->constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  if (file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) return true;
  ::close(fd);
  return false;
}

std::optional<FileStamp> StampOf(const QString& path) {
  const std::optional<QByteArray> name = EncodeName(path);
  struct stat st {};
  if (!name || ::stat(name->constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
  return FileStamp{st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

}  // namespace Platform
