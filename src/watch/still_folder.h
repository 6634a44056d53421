// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// When a check may keep the last count instead of reading the folder again.
namespace Watch {

// What the change notices queued since the last check say, the strongest one counting.
enum class Change {
  None,       // nothing happened in the folder
  Entries,    // entries were made, removed, renamed or changed
  Overflow,   // notices were lost: anything may have happened
  WatchGone,  // the folder was deleted, moved or unmounted: its notices end here
};

// One notice's kind, from its event mask.
Change ChangeOf(std::uint32_t eventMask);
Change Stronger(Change a, Change b);

// True for file systems whose every change raises a notice on this machine. Network, FUSE and unknown file
// systems are not among them: a change made elsewhere raises none here.
bool IsLocalFileSystem(long fileSystemType);

// Everything a check knows before it decides.
struct CheckState {
  bool counted = false;     // the folder was counted before and a count is at hand
  bool local = false;       // on a local file system (IsLocalFileSystem)
  bool watching = false;    // a change watch was set on the counted folder (none: limit reached, no support)
  bool links = false;       // the last count met links, whose targets change without a notice
  bool sameFolder = false;  // the path still leads to the counted folder: same device and inode
  Change change = Change::None;
};

// True when the check must read the folder; false when the last count still holds.
bool MustCount(const CheckState& state);

}  // namespace Watch
