// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_reader.h"

#include <array>

namespace Watch {

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
  state.sameFolder = Platform::IdentityOf(folder) == identity_;
  const Source source = ChooseSource(state);
  if (source == Source::Kept) return {lastCount_, Source::Kept};

  const Platform::OpenFolder open(folder);
  if (source == Source::Notices && open.identity() == identity_) {
    if (const std::optional<qint64> count = applyNotices(open.fd(), notices.names)) return {count, Source::Notices};
  }
  return countFolder(open);
}

std::optional<qint64> FolderReader::applyNotices(int dirFd, const std::vector<std::string>& touched) {
  for (const std::string& name : touched) {
    switch (JudgeName(name, Platform::EntryKindAt(dirFd, name.c_str()))) {
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

Reading FolderReader::countFolder(const Platform::OpenFolder& open) {
  counted_ = false;
  exactNames_ = false;
  lastFullCount_ = std::chrono::steady_clock::now();
  if (open.fd() < 0) return {std::nullopt, Source::Disk};
  local_ = Platform::OnLocalFileSystem(open.fd());
  identity_ = open.identity().value_or(Platform::FolderIdentity{});
  // A fresh watch at every full count, before the listing: one whose end was lost with dropped notices, or that
  // watches a volume since unmounted, never outlives the count that follows.
  if (local_) {
    notices_.watch(open.fd());
  } else {
    notices_.stop();
  }
  // A folder that held links is counted in full at every check while it does: its names would go unused.
  const bool keepNames = notices_.watching() && !links_;
  names_.clear(keepNames ? std::size_t(lastCount_) : 0);
  std::array<quint64, 32> batch;
  std::size_t batched = 0;
  std::function<void(std::string_view)> keep;
  if (keepNames) {
    keep = [&](std::string_view name) {
      batch[batched++] = NameHash(name);
      if (batched < batch.size()) return;
      names_.insertAll(batch.data(), batched);
      batched = 0;
    };
  }
  const std::optional<Platform::FolderCount> result = Platform::CountOpenFolder(open.fd(), keep);
  names_.insertAll(batch.data(), batched);
  if (!result) return {std::nullopt, Source::Disk};
  counted_ = true;
  lastCount_ = result->files;
  links_ = result->links;
  // Two names with one hash would make the set a name short: such a folder is counted in full.
  exactNames_ = keepNames && !links_ && qint64(names_.size()) == lastCount_;
  return {lastCount_, Source::Disk};
}

}  // namespace Watch
