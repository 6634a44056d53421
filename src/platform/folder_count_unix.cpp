#include "folder_count.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace Platform {

std::optional<qint64> CountFolderFiles(const QString& folder) {
  if (folder.isEmpty() || folder.contains(QChar(0))) return std::nullopt;
  DIR* dir = ::opendir(QFile::encodeName(folder).constData());
  if (!dir) return std::nullopt;
  const int dirFd = ::dirfd(dir);
  qint64 count = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // hidden files, "." and ".."
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      // Only some file systems give no type; a link counts as what it points to.
      struct stat st {};
      if (::fstatat(dirFd, entry->d_name, &st, 0) != 0) continue;
      type = S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_REG) ++count;
  }
  ::closedir(dir);
  return count;
}

}  // namespace Platform
