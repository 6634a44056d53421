// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "file_name.h"
#include "folder_count.h"
#include "platform/folder_handle_linux.h"

namespace Platform {
namespace {

// The record getdents64 fills in; glibc does not declare it. The fields keep the kernel's names.
// NOLINTBEGIN(readability-identifier-naming)
struct LinuxDirent64 {
  ino64_t d_ino;
  off64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[];
};
// NOLINTEND(readability-identifier-naming)

// A large buffer takes a big folder in a few system calls; it is kept for the thread's next listing.
constexpr size_t BufferSize = 1 << 20;

char* Buffer() {
  thread_local std::unique_ptr<char[]> buffer(new char[BufferSize]);
  return buffer.get();
}

EntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::File;
  if (S_ISDIR(mode)) return EntryKind::Folder;
  if (S_ISLNK(mode)) return EntryKind::Link;
  return EntryKind::Other;
}

std::chrono::system_clock::time_point TimeOf(const timespec& t) {
  return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
      std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec)));
}

}  // namespace

bool ReadEntries(const OpenFolder& folder, EntrySink sink, void* context) {
  const int fd = FolderHandle::of(folder);
  if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) return false;
  char* buffer = Buffer();
  for (;;) {
    const long got = ::syscall(SYS_getdents64, fd, buffer, BufferSize);
    if (got < 0) return false;
    if (got == 0) return true;
    for (long offset = 0; offset < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
      offset += entry->d_reclen;
      if (entry->d_name[0] == '.') continue;  // hidden entries, "." and ".."
      FolderEntry seen{std::string_view(entry->d_name), EntryKind::Other, false};
      switch (entry->d_type) {
        case DT_REG:
          seen.kind = EntryKind::File;
          break;
        case DT_DIR:
          seen.kind = EntryKind::Folder;
          break;
        case DT_LNK:
        case DT_UNKNOWN: {
          // Links count as what they lead to, and some file systems give no type at all: only then a lookup.
          seen.looked = true;
          struct stat st {};
          seen.kind = ::fstatat(fd, entry->d_name, &st, 0) == 0 ? KindOfMode(st.st_mode) : EntryKind::Missing;
          break;
        }
        default:
          break;
      }
      if (!sink(context, seen)) return false;
    }
  }
}

std::optional<FolderIdentity> IdentityOf(const QString& folder) {
  const std::optional<QByteArray> name = EncodeName(folder);
  struct stat st {};
  if (!name || ::stat(name->constData(), &st) != 0) return std::nullopt;
  return FolderIdentity{st.st_dev, st.st_ino};
}

OpenFolder::OpenFolder(const QString& folder) {
  if (const std::optional<QByteArray> name = EncodeName(folder))
    handle_ = ::open(name->constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

OpenFolder::~OpenFolder() {
  if (handle_ >= 0) ::close(handle_);
}

std::optional<FolderIdentity> OpenFolder::identity() const {
  const std::optional<FolderStamp> now = stamp();
  if (!now) return std::nullopt;
  return now->identity;
}

std::optional<FolderStamp> OpenFolder::stamp() const {
  struct stat st {};
  if (handle_ < 0 || ::fstat(handle_, &st) != 0) return std::nullopt;
  return FolderStamp{{st.st_dev, st.st_ino}, TimeOf(st.st_mtim), TimeOf(st.st_ctim)};
}

EntryKind EntryKindAt(const OpenFolder& folder, const char* name) {
  struct stat st {};
  if (::fstatat(FolderHandle::of(folder), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? EntryKind::Missing : EntryKind::Unknown;
  return KindOfMode(st.st_mode);
}

std::optional<qint64> CountFolderFiles(const QString& folder) {
  const OpenFolder open(folder);
  qint64 files = 0;
  if (!ReadEntries(open, [&](const FolderEntry& entry) {
        files += entry.kind == EntryKind::File;
        return true;
      }))
    return std::nullopt;
  return files;
}

}  // namespace Platform
