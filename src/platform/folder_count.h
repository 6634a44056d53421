// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

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

// The same count over a folder already open (O_RDONLY | O_DIRECTORY), read from its start.
std::optional<FolderCount> CountOpenFolder(int dirFd);

}  // namespace Platform
