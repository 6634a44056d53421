// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <memory>

#include "folder_count.h"
#include "platform/dirent_linux.h"

namespace Platform {
namespace {

// A large buffer takes a big folder in a few system calls; it is kept for the next count.
constexpr size_t kBufferSize = 1 << 20;

char* Buffer() {
  thread_local std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  return buffer.get();
}

}  // namespace

std::optional<FolderCount> CountOpenFolder(int dirFd) {
  if (::lseek(dirFd, 0, SEEK_SET) != 0) return std::nullopt;
  char* buffer = Buffer();
  FolderCount result;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, dirFd, buffer, kBufferSize);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    for (long offset = 0; offset < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
      offset += entry->d_reclen;
      if (entry->d_name[0] == '.') continue;  // hidden files, "." and ".."
      if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) result.links = true;
      if (EntryIs(dirFd, entry->d_name, entry->d_type, DT_REG)) ++result.files;
    }
  }
  return result;
}

std::optional<qint64> CountFolderFiles(const QString& folder) {
  if (folder.isEmpty() || folder.contains(QChar(0))) return std::nullopt;
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const std::optional<FolderCount> counted = CountOpenFolder(fd);
  ::close(fd);
  if (!counted) return std::nullopt;
  return counted->files;
}

}  // namespace Platform
