// SPDX-License-Identifier: GPL-3.0-or-later
#include "count_decision.h"

#include <algorithm>

namespace Watch {

using Platform::Change;

bool KeepsFolderTimes(std::string_view volumeKind) {
  // Object stores have no folders: these volumes show a folder's times from the mount's start or a placeholder
  // object, and a file landing in it changes none of them.
  for (const std::string_view madeUp : {"fuse.rclone", "fuse.s3fs", "fuse.goofys", "fuse.gcsfuse"}) {
    if (volumeKind == madeUp) return false;
  }
  return true;
}

bool AttributesVouch(const CheckState& state) {
  return state.counted && !state.local && !state.links && state.sameFolder && state.stampFresh && state.stampSame &&
         state.countedAfterModified >= RacyMargin && KeepsFolderTimes(state.volumeKind) && !state.timesMissedAChange;
}

Source ChooseSource(const CheckState& state) {
  if (!state.local) return AttributesVouch(state) && !state.verifyDue ? Source::Attributes : Source::Disk;
  if (!state.counted || !state.watching || state.links || !state.sameFolder || state.verifyDue) return Source::Disk;
  if (state.change == Change::None) return Source::Kept;
  if (state.change == Change::Entries && state.exactNames && !state.tooManyNames) return Source::Notices;
  return Source::Disk;
}

std::size_t MaxLookups(qint64 lastCount) {
  // A lookup costs about as much as listing four entries; a small folder is cheap either way.
  return std::max<std::size_t>(std::size_t(std::max<qint64>(lastCount, 0)) / 4, 64);
}

NameVerdict JudgeName(std::string_view name, Platform::EntryKind kind) {
  using Platform::EntryKind;
  if (name.empty() || name.front() == '.') return NameVerdict::NotCounted;
  switch (kind) {
    case EntryKind::File:
      return NameVerdict::Counted;
    case EntryKind::Missing:
    case EntryKind::Folder:
    case EntryKind::Other:
      return NameVerdict::NotCounted;
    case EntryKind::Link:
    case EntryKind::Unknown:
      break;
  }
  return NameVerdict::Unsure;
}

}  // namespace Watch
