// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_name.h"
#include "folder_create.h"

namespace Platform {

bool MakeFolderIn(const QString& parent, const QString& name) {
  const std::optional<QByteArray> parentName = EncodeName(parent);
  const std::optional<QByteArray> levelName = EncodeName(name);
  if (!parentName || !levelName || *levelName == "." || *levelName == ".." || levelName->contains('/')) return false;
  // The handle pins the folder as it is now: a folder deleted since it was opened is not made again by its path.
  const int here = ::open(parentName->constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (here < 0) return false;
  const QByteArray& level = *levelName;
  bool made = ::mkdirat(here, level.constData(), 0777) == 0 || errno == EEXIST;
  if (made) {
    // An existing name counts only when it is a folder that can be entered.
    const int created = ::openat(here, level.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    made = created >= 0 && ::faccessat(created, ".", X_OK, AT_EACCESS) == 0;
    if (created >= 0) ::close(created);
  }
  ::close(here);
  return made;
}

bool MakeFolders(const QString& path) {
  const std::optional<QByteArray> bytes = EncodeName(path);
  if (!bytes || !bytes->startsWith('/')) {
    errno = EINVAL;
    return false;
  }
  for (qsizetype cut = bytes->indexOf('/', 1);; cut = bytes->indexOf('/', cut + 1)) {
    const QByteArray level = cut < 0 ? *bytes : bytes->left(cut);
    if (::mkdir(level.constData(), 0777) != 0 && errno != EEXIST) return false;
    if (cut < 0) break;
  }
  struct stat st {};
  if (::stat(bytes->constData(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

}  // namespace Platform
