// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/change_notices_linux.h"

#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "change_notices.h"
#include "platform/folder_handle_linux.h"

namespace Platform {
namespace {

// Everything that can change which entries the folder holds, or whether it can be read.
constexpr std::uint32_t NoticeMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

Change ChangeOf(std::uint32_t eventMask, bool named) {
  if (eventMask & IN_Q_OVERFLOW) return Change::Overflow;
  if (eventMask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) return Change::WatchGone;
  return named ? Change::Entries : Change::Folder;
}

Change Stronger(Change a, Change b) { return a > b ? a : b; }

bool IsLocalFileSystem(long fileSystemType) {
  // Magic numbers some kernels' headers lack.
  constexpr long Xfs = 0x58465342, Exfat = 0x2011BAB0, Ntfs = 0x5346544e, Ntfs3 = 0x7366746e, Jfs = 0x3153464a,
                 Zfs = 0x2fc12fc1, Bcachefs = 0xca451a4e, Ufs = 0x00011954, HfsPlus = 0x482b;
  switch (static_cast<unsigned long>(fileSystemType)) {
    case EXT4_SUPER_MAGIC:  // ext2, ext3 and ext4 share it
    case Xfs:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case F2FS_SUPER_MAGIC:
    case MSDOS_SUPER_MAGIC:  // vfat
    case Exfat:
    case Ntfs:
    case Ntfs3:
    case Jfs:
    case REISERFS_SUPER_MAGIC:
    case HfsPlus:
    case NILFS_SUPER_MAGIC:
    case Zfs:
    case Bcachefs:
    case Ufs:
    case ISOFS_SUPER_MAGIC:
    case SQUASHFS_MAGIC:
      return true;
    default:
      return false;
  }
}

bool OnLocalFileSystem(const OpenFolder& folder) {
  struct statfs fs {};
  return ::fstatfs(FolderHandle::of(folder), &fs) == 0 && IsLocalFileSystem(long(fs.f_type));
}

ChangeNotices::~ChangeNotices() { stop(); }

void ChangeNotices::stop() {
  if (queue_ >= 0) ::close(queue_);
  queue_ = -1;
}

bool ChangeNotices::watch(const OpenFolder& folder) {
  stop();
  queue_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (queue_ < 0) return false;
  // Through the open handle: the watch lands on the very folder counted, even if the path was just replaced.
  const QByteArray handle = "/proc/self/fd/" + QByteArray::number(FolderHandle::of(folder));
  if (::inotify_add_watch(queue_, handle.constData(), NoticeMask) < 0) {
    stop();  // the watch limit reached, or no /proc
    return false;
  }
  return true;
}

Notices ChangeNotices::take(std::size_t maxNames) {
  Notices notices;
  if (queue_ < 0) return notices;
  std::unordered_set<std::string> seen;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(queue_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // EAGAIN: nothing more queued
    for (ssize_t offset = 0; offset < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      offset += ssize_t(sizeof(inotify_event) + event->len);
      const bool named = event->len > 0 && event->name[0] != '\0';
      notices.change = Stronger(notices.change, ChangeOf(event->mask, named));
      if (!named || notices.tooManyNames || !(event->mask & ~IN_ISDIR & ~IN_ATTRIB)) continue;
      // A changed attribute never changes what an entry is: only made, deleted and moved names are looked at.
      std::string name(event->name, ::strnlen(event->name, event->len));
      if (seen.size() >= maxNames && !seen.count(name)) {
        notices.tooManyNames = true;
        continue;
      }
      if (seen.insert(name).second) notices.names.push_back(std::move(name));
    }
  }
  return notices;
}

}  // namespace Platform
