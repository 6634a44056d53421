#include "folder_count.h"

#include <QDir>

namespace Platform {

std::optional<qint64> CountFolderFiles(const QString& folder) {
  QDir dir(folder);
  if (!dir.exists() || !dir.isReadable()) return std::nullopt;
  return dir.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort).size();
}

}  // namespace Platform
