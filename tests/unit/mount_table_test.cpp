// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/mount_table_linux.h"
#include "support/qt_printers.h"

namespace {

TEST(VolumesInMountInfo, MountPointsOfFolderHoldingFileSystems) {
  struct Row {
    const char* name;
    QByteArray line;
    QStringList roots;
  };
  const Row rows[] = {
      {"Root", "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw", {"/"}},
      {"NoOptionalFields", "30 22 0:40 / /mnt/usb rw - vfat /dev/sdb1 rw", {"/mnt/usb"}},
      {"SeveralOptionalFields", "31 22 0:41 / /srv rw shared:5 master:2 - xfs /dev/sdc rw", {"/srv"}},
      {"EscapedBlankTabBackslash", "32 22 0:42 / /mnt/a\\040b\\011c\\134d rw - ext4 /dev/x rw", {"/mnt/a b\tc\\d"}},
      {"EscapeAtTheEnd", "33 22 0:43 / /mnt/e\\040 rw - ext4 /dev/x rw", {"/mnt/e "}},
      {"NotAnEscape", "34 22 0:44 / /mnt/f\\x4 rw - ext4 /dev/x rw", {"/mnt/f\\x4"}},
      {"TrailingSeparatorCleaned", "35 22 0:45 / /data/ rw - btrfs /dev/y rw", {"/data"}},
      {"PseudoFileSystemByType", "36 22 0:5 / /run/cg rw - cgroup2 cgroup2 rw", {}},
      {"UnderProc", "37 22 0:6 / /proc/sys/fs/binfmt_misc rw - autofs systemd-1 rw", {}},
      {"BesideDevNotUnderIt", "38 22 0:7 / /devices rw - ext4 /dev/z rw", {"/devices"}},
      {"NoTypeAfterTheDash", "39 22 0:8 / /mnt/g rw -", {}},
      {"TooShort", "40 22 0:9", {}},
  };
  for (const Row& r : rows) {
    QStringList roots;
    for (const Platform::Volume& v : Platform::VolumesInMountInfo(r.line)) roots << v.root;
    EXPECT_EQ(roots, r.roots) << r.name;
  }
}

}  // namespace
