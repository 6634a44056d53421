#pragma once

#include <QString>
#include <optional>

namespace Platform {

// Number of regular, non-hidden files directly in folder (never subfolders), counted in one pass over the
// directory without building a list. Nothing when the folder cannot be read.
std::optional<qint64> CountFolderFiles(const QString& folder);

}  // namespace Platform
