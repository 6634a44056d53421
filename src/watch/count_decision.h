// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <chrono>
#include <cstddef>
#include <string_view>

#include "platform/change_notices.h"
#include "platform/folder_count.h"

// How a check comes to its answer: the last count kept, the notices applied to it, or the folder read again.
namespace Watch {

enum class Source {
  Kept,        // nothing changed: the last count holds and nothing was read
  Attributes,  // kept: a share's folder attributes are as the last full count saw them; one lookup, no listing
  Notices,     // the last count with the entries the notices name looked up one by one
  Disk,        // the folder read from the disk in full
};

// However quiet the notices, a full count checks them this often: a change they missed (a snapshot rolled back
// under the folder, a file system whose notices are incomplete) is heard at most this late.
inline constexpr std::chrono::minutes VerifyEvery{10};

// A change in the same tick of the folder's times as the last full count leaves them as they were: unchanged times
// vouch for the count only when it began this long after the folder's last modification. FAT keeps times in steps
// of 2 s, some servers in whole seconds; the third second allows for the server's clock, which sets a share's
// times, running behind ours. After a change this costs full counts for at most that long.
inline constexpr std::chrono::seconds RacyMargin{3};

// False for the kinds of volume (as the mount table names them) known to make their folders' times up.
bool KeepsFolderTimes(std::string_view volumeKind);

// Everything a check knows before it decides.
struct CheckState {
  bool counted = false;       // the folder was counted before and a count is at hand
  bool local = false;         // on a local file system (Platform::IsLocalFileSystem)
  bool watching = false;      // a change watch was set on the counted folder (none: limit reached, no support)
  bool links = false;         // the last count met links or entries without a type, which change unnoticed
  bool sameFolder = false;    // the path still leads to the counted folder: same device and inode
  bool exactNames = false;    // the names counted are known, one hash each, none shared
  bool verifyDue = false;     // the last full count is VerifyEvery old
  bool tooManyNames = false;  // the notices touch more names than MaxLookups
  Platform::Change change = Platform::Change::None;
  // Where no notices come (a share), the folder's attributes stand in for them.
  bool stampFresh = false;  // read from the folder opened for this check, not from a cache by its name
  bool stampSame = false;   // identity, modification and change time as at the last full count
  std::chrono::nanoseconds countedAfterModified{};  // from the folder's last modification to the last count's start
  std::string_view volumeKind;
  bool timesMissedAChange = false;  // a full count found a change the attributes did not show: never again trusted
};

Source ChooseSource(const CheckState& state);
// Whether a share's attributes alone would keep the count, the verifying count aside.
bool AttributesVouch(const CheckState& state);

// Touched names beyond this are cheaper to list with the rest of the folder than to look up one by one.
std::size_t MaxLookups(qint64 lastCount);

enum class NameVerdict {
  Counted,     // a regular file whose name does not start with "."
  NotCounted,  // anything else, or nothing there now
  Unsure,      // a link, or the lookup failed: only a full count can tell
};
// Whether a name touched by the notices counts, as a full count would decide.
NameVerdict JudgeName(std::string_view name, Platform::EntryKind kind);

}  // namespace Watch
