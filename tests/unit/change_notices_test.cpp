// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/inotify.h>

#include "platform/change_notices_linux.h"

namespace {

using Platform::Change;

TEST(ChangeNotices, NoticeKinds) {
  struct Row {
    std::uint32_t mask;
    bool named;
    Change change;
  };
  const Row rows[] = {
      {IN_CREATE, true, Change::Entries},       {IN_DELETE, true, Change::Entries},
      {IN_MOVED_FROM, true, Change::Entries},   {IN_MOVED_TO | IN_ISDIR, true, Change::Entries},
      {IN_ATTRIB, true, Change::Entries},       {IN_ATTRIB, false, Change::Folder},
      {IN_Q_OVERFLOW, false, Change::Overflow}, {IN_DELETE_SELF, false, Change::WatchGone},
      {IN_MOVE_SELF, false, Change::WatchGone}, {IN_UNMOUNT, false, Change::WatchGone},
      {IN_IGNORED, false, Change::WatchGone},
  };
  for (const Row& row : rows) EXPECT_EQ(Platform::ChangeOf(row.mask, row.named), row.change) << std::hex << row.mask;
  // Several notices in one look: the strongest decides.
  EXPECT_EQ(Platform::Stronger(Change::Entries, Change::WatchGone), Change::WatchGone);
  EXPECT_EQ(Platform::Stronger(Change::Overflow, Change::None), Change::Overflow);
  EXPECT_EQ(Platform::Stronger(Change::Entries, Change::Folder), Change::Folder);
}

TEST(ChangeNotices, OnlyLocalFileSystemsAreTrusted) {
  struct Row {
    const char* name;
    long type;
    bool local;
  };
  const Row rows[] = {
      {"ext4", 0xEF53, true},         {"xfs", 0x58465342, true},   {"btrfs", 0x9123683E, true},
      {"tmpfs", 0x01021994, true},    {"f2fs", 0xF2F52010, true},  {"vfat", 0x4d44, true},
      {"exfat", 0x2011BAB0, true},    {"ntfs3", 0x7366746e, true}, {"nfs", 0x6969, false},
      {"cifs", 0xFF534D42, false},    {"smb2", 0xFE534D42, false}, {"fuse", 0x65735546, false},
      {"overlay", 0x794c7630, false}, {"9p", 0x01021997, false},   {"unknown", 0x12345678, false},
  };
  for (const Row& row : rows) EXPECT_EQ(Platform::IsLocalFileSystem(row.type), row.local) << row.name;
}

}  // namespace
