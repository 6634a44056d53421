// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "file_name.h"
#include "folder_count.h"
#include "platform/dirent_linux.h"

namespace Platform {
namespace {

// A large buffer takes a big folder in a few system calls; it is kept for the next count.
constexpr size_t BufferSize = 1 << 20;

char* Buffer() {
  thread_local std::unique_ptr<char[]> buffer(new char[BufferSize]);
  return buffer.get();
}

}  // namespace

std::optional<FolderCount> CountOpenFolder(int dirFd, const std::function<void(std::string_view)>& counted) {
  if (::lseek(dirFd, 0, SEEK_SET) != 0) return std::nullopt;
  char* buffer = Buffer();
  FolderCount result;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, dirFd, buffer, BufferSize);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    for (long offset = 0; offset < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
      offset += entry->d_reclen;
      if (entry->d_name[0] == '.') continue;  // hidden files, "." and ".."
      if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) result.links = true;
      if (!EntryIs(dirFd, entry->d_name, entry->d_type, DT_REG)) continue;
      ++result.files;
      if (counted) counted(entry->d_name);
    }
  }
  return result;
}

std::optional<FolderIdentity> IdentityOf(const QString& folder) {
  const std::optional<QByteArray> name = EncodeName(folder);
  struct stat st {};
  if (!name || ::stat(name->constData(), &st) != 0) return std::nullopt;
  return FolderIdentity{st.st_dev, st.st_ino};
}

OpenFolder::OpenFolder(const QString& folder) {
  if (const std::optional<QByteArray> name = EncodeName(folder))
    fd_ = ::open(name->constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

OpenFolder::~OpenFolder() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<FolderIdentity> OpenFolder::identity() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
  return FolderIdentity{st.st_dev, st.st_ino};
}

EntryKind EntryKindAt(int dirFd, const char* name) {
  struct stat st {};
  if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? EntryKind::Missing : EntryKind::Unknown;
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  if (S_ISLNK(st.st_mode)) return EntryKind::Link;
  return EntryKind::Other;
}

std::optional<qint64> CountFolderFiles(const QString& folder) {
  const OpenFolder open(folder);
  if (open.fd() < 0) return std::nullopt;
  const std::optional<FolderCount> counted = CountOpenFolder(open.fd());
  if (!counted) return std::nullopt;
  return counted->files;
}

}  // namespace Platform
