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
  Kept,     // nothing changed: the last count holds and nothing was read
  Notices,  // the last count with the entries the notices name looked up one by one
  Disk,     // the folder read from the disk in full
};

// However quiet the notices, a full count checks them this often: a change they missed (a snapshot rolled back
// under the folder, a file system whose notices are incomplete) is heard at most this late.
inline constexpr std::chrono::minutes VerifyEvery{10};

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
};

Source ChooseSource(const CheckState& state);

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
