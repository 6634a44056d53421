// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <chrono>
#include <optional>
#include <string_view>
#include <type_traits>

namespace Platform {

// What a name in a folder is.
enum class EntryKind { Missing, File, Folder, Link, Other, Unknown };

// Which folder a path leads to: two paths, or the same path at two times, lead to the same folder when both agree.
struct FolderIdentity {
  quint64 device = 0;
  quint64 inode = 0;
  bool operator==(const FolderIdentity&) const = default;
};
std::optional<FolderIdentity> IdentityOf(const QString& folder);

// A folder's identity and the times making, removing or renaming an entry moves on.
struct FolderStamp {
  FolderIdentity identity;
  std::chrono::system_clock::time_point modified;
  std::chrono::system_clock::time_point changed;
  bool operator==(const FolderStamp&) const = default;
};

// A folder held open for reading while it lives.
class OpenFolder {
 public:
  explicit OpenFolder(const QString& folder);
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  bool isOpen() const { return handle_ >= 0; }
  std::optional<FolderIdentity> identity() const;
  // Read from the open folder, not by its name: a network share revalidates what it caches when a folder is opened.
  std::optional<FolderStamp> stamp() const;

 private:
  friend struct FolderHandle;  // the system's own code reaches the handle through it
  int handle_ = -1;
};

// One entry of a listing. kind follows links (a dangling one is Missing); looked is true when the entry is a link
// or the listing gave no type, so that finding its kind took a lookup.
struct FolderEntry {
  std::string_view name;
  EntryKind kind = EntryKind::Unknown;
  bool looked = false;
};

// Hands each non-hidden entry of the open folder, from its start, to seen(const FolderEntry&), which answers
// false to stop. False when the folder cannot be read or seen stopped it.
using EntrySink = bool (*)(void* context, const FolderEntry& entry);
bool ReadEntries(const OpenFolder& folder, EntrySink sink, void* context);
template <class Seen>
bool ReadEntries(const OpenFolder& folder, Seen&& seen) {
  using Callable = std::remove_reference_t<Seen>;
  return ReadEntries(
      folder, [](void* c, const FolderEntry& e) -> bool { return (*static_cast<Callable*>(c))(e); },
      static_cast<void*>(&seen));
}

// Number of regular, non-hidden files directly in folder (never subfolders), counted in one pass over the
// directory without building a list. Nothing when the folder cannot be read.
std::optional<qint64> CountFolderFiles(const QString& folder);

// What a name in the open folder is now, its link not followed.
EntryKind EntryKindAt(const OpenFolder& folder, const char* name);

}  // namespace Platform
