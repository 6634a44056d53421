// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/folder_count.h"

namespace Platform {

// What the change notices queued since the last look say, the strongest one counting.
enum class Change {
  None,       // nothing happened in the folder
  Entries,    // entries were made, removed, renamed or changed: their names are known
  Folder,     // the folder itself changed (its permissions, say)
  Overflow,   // notices were lost: anything may have happened
  WatchGone,  // the folder was deleted, moved or unmounted: its notices end here
};

Change Stronger(Change a, Change b);

// True when the folder lies on a file system whose every change raises a notice on this machine. Network, FUSE
// and unknown file systems are not among them: a change made elsewhere raises none here.
bool OnLocalFileSystem(const OpenFolder& folder);

// What one look at the queue gives.
struct Notices {
  Change change = Change::None;
  std::vector<std::string> names;  // the entries touched, each once
  bool tooManyNames = false;       // more than asked for: names holds only some of them
};

// The change notices of one folder. Not thread-safe: one thread uses it at a time.
class ChangeNotices {
 public:
  ChangeNotices() = default;
  ~ChangeNotices();
  ChangeNotices(const ChangeNotices&) = delete;
  ChangeNotices& operator=(const ChangeNotices&) = delete;

  // A fresh watch on the open folder, dropping the old one and all it queued; false when none can be set (the
  // watch limit reached, no support).
  bool watch(const OpenFolder& folder);
  void stop();
  bool watching() const { return queue_ >= 0; }
  // Takes everything queued. Collects up to maxNames names; past that only the kind of change is kept.
  Notices take(std::size_t maxNames);

 private:
  int queue_ = -1;
};

}  // namespace Platform
