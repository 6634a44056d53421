// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "folder_create.h"

namespace Platform {

bool MakeFolderIn(const QString& parent, const QString& name) {
  if (parent.isEmpty() || parent.contains(QChar(0))) return false;
  if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(QChar(0))) return false;
  // The handle pins the folder as it is now: a folder deleted since it was opened is not made again by its path.
  const int here = ::open(QFile::encodeName(parent).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (here < 0) return false;
  const QByteArray level = QFile::encodeName(name);
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

}  // namespace Platform
