// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string_view>

namespace Platform {

// What one pass over a folder found.
struct FolderCount {
  qint64 files = 0;
  // Visible entries whose target may change without the folder changing: symbolic links, and entries the
  // file system gives no type for.
  bool links = false;
};

// Number of regular, non-hidden files directly in folder (never subfolders), counted in one pass over the
// directory without building a list. Nothing when the folder cannot be read.
std::optional<qint64> CountFolderFiles(const QString& folder);

// The same count over a folder already open (O_RDONLY | O_DIRECTORY), read from its start. counted, when
// given, hears the name of each file counted.
std::optional<FolderCount> CountOpenFolder(int dirFd, const std::function<void(std::string_view)>& counted = {});

// Which folder a path leads to: two paths, or the same path at two times, lead to the same folder when both agree.
struct FolderIdentity {
  quint64 device = 0;
  quint64 inode = 0;
  bool operator==(const FolderIdentity&) const = default;
};
std::optional<FolderIdentity> IdentityOf(const QString& folder);

// A folder held open for reading while it lives; fd() is -1 when it could not be opened.
class OpenFolder {
 public:
  explicit OpenFolder(const QString& folder);
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  int fd() const { return fd_; }
  std::optional<FolderIdentity> identity() const;

 private:
  int fd_ = -1;
};

// What a name in a folder is now, its link not followed.
enum class EntryKind { Missing, File, Folder, Link, Other, Unknown };
EntryKind EntryKindAt(int dirFd, const char* name);

}  // namespace Platform
