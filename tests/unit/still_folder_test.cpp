// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch/still_folder.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>

namespace {

using Watch::Change;
using Watch::CheckState;

// A folder counted on a local file system, watched, with nothing changed since: the one state that reads nothing.
CheckState Still() {
  CheckState s;
  s.counted = s.local = s.watching = s.sameFolder = true;
  return s;
}

TEST(StillFolder, DecidesWhetherACheckReads) {
  struct Row {
    const char* name;
    void (*change)(CheckState&);
    bool mustCount;
  };
  const Row rows[] = {
      {"NothingHappened", [](CheckState&) {}, false},
      {"EntriesChanged", [](CheckState& s) { s.change = Watch::ChangeOf(IN_CREATE); }, true},
      {"QueueOverflowed", [](CheckState& s) { s.change = Watch::ChangeOf(IN_Q_OVERFLOW); }, true},
      {"FolderDeleted", [](CheckState& s) { s.change = Watch::ChangeOf(IN_DELETE_SELF); }, true},
      {"FolderReplacedOrMountedOver", [](CheckState& s) { s.sameFolder = false; }, true},
      {"WatchLimitReached", [](CheckState& s) { s.watching = false; }, true},
      {"LastCountSawLinks", [](CheckState& s) { s.links = true; }, true},
      {"NetworkFuseOrUnknownFileSystem", [](CheckState& s) { s.local = false; }, true},
      {"FirstCount", [](CheckState& s) { s.counted = false; }, true},
  };
  for (const Row& row : rows) {
    CheckState state = Still();
    row.change(state);
    EXPECT_EQ(Watch::MustCount(state), row.mustCount) << row.name;
  }
}

TEST(StillFolder, NoticeKinds) {
  struct Row {
    std::uint32_t mask;
    Change change;
  };
  const Row rows[] = {
      {IN_CREATE, Change::Entries},        {IN_DELETE, Change::Entries},
      {IN_MOVED_FROM, Change::Entries},    {IN_MOVED_TO | IN_ISDIR, Change::Entries},
      {IN_ATTRIB, Change::Entries},        {IN_Q_OVERFLOW, Change::Overflow},
      {IN_DELETE_SELF, Change::WatchGone}, {IN_MOVE_SELF, Change::WatchGone},
      {IN_UNMOUNT, Change::WatchGone},     {IN_IGNORED, Change::WatchGone},
  };
  for (const Row& row : rows) EXPECT_EQ(Watch::ChangeOf(row.mask), row.change) << std::hex << row.mask;
  // Several notices in one check: the strongest decides.
  EXPECT_EQ(Watch::Stronger(Change::Entries, Change::WatchGone), Change::WatchGone);
  EXPECT_EQ(Watch::Stronger(Change::Overflow, Change::None), Change::Overflow);
}

TEST(StillFolder, OnlyLocalFileSystemsAreTrusted) {
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
  for (const Row& row : rows) EXPECT_EQ(Watch::IsLocalFileSystem(row.type), row.local) << row.name;
}

}  // namespace
