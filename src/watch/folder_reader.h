// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <QString>
#include <optional>

#include "watch/still_folder.h"

namespace Watch {

// What one check of a folder gives.
struct Reading {
  std::optional<qint64> count;  // nothing: the folder cannot be read now
  bool read = false;            // false when the last count was kept without reading the folder
};

// Counts one folder at a time, check after check. Where a change watch can vouch that nothing changed since
// the last count, a check keeps that count and reads nothing; everywhere else it counts. Not thread-safe:
// one thread uses it.
class FolderReader {
 public:
  FolderReader() = default;
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  Reading check(const QString& folder);

 private:
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
  };

  Change drainNotices();
  // A fresh change watch on the folder open at dirFd; false when none can be set.
  bool watchOpenFolder(int dirFd);
  void stopWatching();

  QString folder_;
  bool counted_ = false;
  qint64 lastCount_ = 0;
  bool links_ = false;
  bool local_ = false;
  Identity identity_;  // of the folder counted last
  int notices_ = -1;   // inotify instance with one watch on that folder
};

}  // namespace Watch
