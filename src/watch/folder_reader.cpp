// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_reader.h"

#include <QSet>
#include <mutex>

#include "platform/mount_table.h"

namespace Watch {
namespace {

// Shares whose attributes once hid a change that a full count found: not trusted again while the program runs,
// whichever reader checks them.
struct Distrusted {
  std::mutex mutex;
  QSet<QString> folders;
};

Distrusted& DistrustedFolders() {
  static Distrusted distrusted;
  return distrusted;
}

bool IsDistrusted(const QString& folder) {
  Distrusted& d = DistrustedFolders();
  const std::lock_guard lock(d.mutex);
  return d.folders.contains(folder);
}

}  // namespace

Reading FolderReader::check(const QString& folder) {
  if (folder != folder_) {
    notices_.stop();
    counted_ = false;
    folder_ = folder;
  }
  // Notices first: whatever happens after this is left for the next check.
  Platform::Notices notices = notices_.take(MaxLookups(lastCount_));
  CheckState state;
  state.change = notices.change;
  state.tooManyNames = notices.tooManyNames;
  state.counted = counted_;
  state.local = local_;
  state.watching = notices_.watching();
  state.links = links_;
  state.exactNames = exactNames_;
  state.verifyDue = std::chrono::steady_clock::now() - lastFullCount_ >= verifyEvery_;
  std::optional<Platform::OpenFolder> open;
  if (counted_ && !local_) {
    // No notices come from a share: one lookup of the opened folder stands in for them.
    open.emplace(folder);
    const std::optional<Platform::FolderStamp> stamp = open->stamp();
    state.stampFresh = stamp.has_value();
    state.sameFolder = stamp && stamp->identity == identity_;
    state.stampSame = stamp == stamp_;
    state.countedAfterModified = std::chrono::duration_cast<std::chrono::nanoseconds>(countBegan_ - stamp_.modified);
    state.volumeKind = std::string_view(volumeKind_.constData(), std::size_t(volumeKind_.size()));
    state.timesMissedAChange = IsDistrusted(folder);
  } else {
    state.sameFolder = Platform::IdentityOf(folder) == identity_;
  }
  const Source source = ChooseSource(state);
  if (source == Source::Kept || source == Source::Attributes) return {lastCount_, source};

  if (!open) open.emplace(folder);
  if (source == Source::Notices && open->identity() == identity_) {
    if (const std::optional<qint64> count = applyNotices(*open, notices.names)) return {count, Source::Notices};
  }
  // Nothing lost and nothing gone: the watch still follows this folder, and setting one afresh would cost the
  // kernel a pass over all its entries.
  const bool watchHolds =
      state.watching && state.change != Platform::Change::Overflow && state.change != Platform::Change::WatchGone;
  return countFolder(*open, AttributesVouch(state), watchHolds);
}

bool FolderReader::namesAtHand() {
  if (!found_.empty()) {
    std::vector<quint64> hashes(found_.begin(), found_.end());
    found_.clear();
    names_.assign(hashes);
    // Two names with one hash would make the set a name short: such a folder is counted in full.
    exactNames_ = qint64(names_.size()) == lastCount_;
  }
  return exactNames_;
}

std::optional<qint64> FolderReader::applyNotices(const Platform::OpenFolder& open,
                                                 const std::vector<std::string>& touched) {
  if (!namesAtHand()) return std::nullopt;
  for (const std::string& name : touched) {
    switch (JudgeName(name, Platform::EntryKindAt(open, name.c_str()))) {
      case NameVerdict::Counted:
        names_.insert(NameHash(name));
        break;
      case NameVerdict::NotCounted:
        names_.erase(NameHash(name));
        break;
      case NameVerdict::Unsure:
        return std::nullopt;  // the full count that follows rebuilds the names
    }
  }
  lastCount_ = qint64(names_.size());
  return lastCount_;
}

Reading FolderReader::countFolder(const Platform::OpenFolder& open, bool attributesVouched, bool watchHolds) {
  const qint64 before = lastCount_;
  const Platform::FolderStamp vouching = stamp_;
  counted_ = false;
  exactNames_ = false;
  lastFullCount_ = std::chrono::steady_clock::now();
  // The time before the attributes, and the attributes before the listing: a change after either shows next time.
  countBegan_ = std::chrono::system_clock::now();
  const std::optional<Platform::FolderStamp> stamp = open.stamp();
  if (!stamp) return {std::nullopt, Source::Disk};
  stamp_ = *stamp;
  watchHolds = watchHolds && identity_ == stamp->identity;
  identity_ = stamp->identity;
  local_ = Platform::OnLocalFileSystem(open);
  volumeKind_ = local_ ? QByteArray() : Platform::VolumeKindOf(open);
  // A fresh watch, before the listing, at every full count the old one may not hold for: one whose end was lost
  // with dropped notices, or that watches a volume since unmounted, never outlives the count that follows.
  if (local_) {
    if (!watchHolds) notices_.watch(open);
  } else {
    notices_.stop();
  }
  // A folder that held links is counted in full at every check while it does: its names would go unused.
  const bool keepNames = notices_.watching() && !links_;
  // Only the names' hashes are gathered while reading; the set is made from them once a notice needs it. A count
  // that no change follows, as at the start and the verifying count, then costs the listing and little more, where
  // inserting while reading would miss the cache at nearly every name of a large folder.
  names_ = NameSet();
  found_.clear();
  qint64 files = 0;
  bool links = false;
  const bool read = Platform::ReadEntries(open, [&](const Platform::FolderEntry& entry) {
    links |= entry.looked;
    if (entry.kind != Platform::EntryKind::File) return true;
    ++files;
    if (keepNames) found_.push_back(NameHash(entry.name));
    return true;
  });
  if (!read) {
    found_.clear();
    return {std::nullopt, Source::Disk};
  }
  counted_ = true;
  lastCount_ = files;
  links_ = links;
  exactNames_ = keepNames && !links_;
  if (!exactNames_) found_.clear();
  // Attributes that stood still through a change: this share's times cannot be trusted.
  if (attributesVouched && files != before && open.stamp() == vouching) {
    Distrusted& d = DistrustedFolders();
    const std::lock_guard lock(d.mutex);
    d.folders.insert(folder_);
  }
  return {lastCount_, Source::Disk};
}

}  // namespace Watch
