// SPDX-License-Identifier: GPL-3.0-or-later
#include <linux/magic.h>
#include <sys/inotify.h>

#include "still_folder.h"

namespace Watch {

Change ChangeOf(std::uint32_t eventMask) {
  if (eventMask & IN_Q_OVERFLOW) return Change::Overflow;
  if (eventMask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) return Change::WatchGone;
  return Change::Entries;
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

bool MustCount(const CheckState& state) {
  return !state.counted || !state.local || !state.watching || state.links || !state.sameFolder ||
         state.change != Change::None;
}

}  // namespace Watch
