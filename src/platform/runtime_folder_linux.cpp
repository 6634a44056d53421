// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "file_name.h"
#include "folder_create.h"
#include "runtime_folder.h"

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

// A real folder (not a link to one) of this user's own that nobody else may enter. When create is set and
// nothing is there yet, it is made so.
bool IsPrivateFolder(const QString& path, bool create) {
  const std::optional<QByteArray> encoded = EncodeName(path);
  if (!encoded) return false;
  const QByteArray& name = *encoded;
  if (create && ::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

}  // namespace

QString InstanceFolder() {
  const QString runtime = DecodeName(qgetenv("XDG_RUNTIME_DIR"));
  if (IsPrivateFolder(runtime, false)) return runtime;
  const QString temporary = QDir::tempPath() + u"/foldwarn-"_s + QString::number(::geteuid());
  if (IsPrivateFolder(temporary, true)) return temporary;
  // Someone else took the name in the shared temporary folder: the user's own cache folder is safe from that.
  QString cache = DecodeName(qgetenv("XDG_CACHE_HOME"));
  if (!cache.startsWith(u'/')) {
    const QString home = DecodeName(qgetenv("HOME"));
    cache = (home.startsWith(u'/') ? home : QDir::homePath()) + u"/.cache"_s;
  }
  MakeFolders(cache);
  const QString own = cache + u"/foldwarn-run"_s;
  return IsPrivateFolder(own, true) ? own : QString();
}

}  // namespace Platform
