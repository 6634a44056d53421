// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "platform/change_notices.h"
#include "platform/folder_count.h"
#include "watch/count_decision.h"
#include "watch/name_set.h"

namespace Watch {

// What one check of a folder gives.
struct Reading {
  std::optional<qint64> count;  // nothing: the folder cannot be read now
  Source source = Source::Disk;
};

// Counts one folder, check after check. Where the change notices can vouch for the folder, a check keeps the
// last count, or applies to it the names the notices touched; on a share, the folder's attributes unchanged keep
// it; everywhere else, and at least every `verifyEvery`, it reads the folder in full. Not thread-safe: one thread uses
// it at a time.
class FolderReader {
 public:
  explicit FolderReader(std::chrono::steady_clock::duration verifyEvery = VerifyEvery) : verifyEvery_(verifyEvery) {}
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  Reading check(const QString& folder);
  // Memory the kept names take.
  std::size_t namesBytes() const { return names_.bytes() + found_.size() * sizeof(quint64); }

 private:
  // attributesVouched: the share's attributes alone would have kept the count. watchHolds: no notice was lost
  // and the watch did not end, so it stays if this is still the folder it watches.
  Reading countFolder(const Platform::OpenFolder& open, bool attributesVouched, bool watchHolds);
  // The set of the names counted, made from the full count's hashes if it is not yet; false when it cannot be exact.
  bool namesAtHand();
  // The last count with the touched names looked up in the open folder; nothing when only a full count can tell.
  std::optional<qint64> applyNotices(const Platform::OpenFolder& open, const std::vector<std::string>& touched);

  std::chrono::steady_clock::duration verifyEvery_;
  std::chrono::steady_clock::time_point lastFullCount_;
  QString folder_;
  bool counted_ = false;
  qint64 lastCount_ = 0;
  bool links_ = false;
  bool local_ = false;
  bool exactNames_ = false;
  Platform::FolderIdentity identity_;  // of the folder counted last
  Platform::FolderStamp stamp_;        // its attributes, read before the listing
  std::chrono::system_clock::time_point countBegan_;
  QByteArray volumeKind_;            // of a share
  Platform::ChangeNotices notices_;  // one watch on that folder
  // The hashes of the files it counted, until the set is made from them; in blocks, so that a folder of unknown
  // size is never copied while it is read.
  std::deque<quint64> found_;
  NameSet names_;  // the files it counted, while exactNames_
};

}  // namespace Watch
