#include "folder_path.h"

#include <QDir>
#include <QFileInfo>

#include "commands/commands.h"
#include "platform/paths.h"

namespace Commands {

bool CreateFolderPath(QString& path) {
  AddBackslash(path);
  // The root is everything up to the first separator: "/" here, "C:\" on Windows.
  qsizetype start = path.indexOf(Platform::Separator);
  const QString root = path.left(start + 1);
  if (!QDir::isAbsolutePath(root) || !QDir::setCurrent(root)) return false;

  for (qsizetype end = path.indexOf(Platform::Separator, start + 1); end >= 0;
       start = end, end = path.indexOf(Platform::Separator, start + 1)) {
    const QString level = path.mid(start + 1, end - start - 1);
    // "." and ".." would step sideways or out of the folder the path names; no file name holds a NUL.
    if (level.isEmpty() || level == u"." || level == u".." || level.contains(QChar(0))) return false;
    const QDir here(QStringLiteral("."));
    // A level that exists already is accepted; whether it can be entered decides.
    if (!here.mkdir(level) && !QFileInfo::exists(level)) return false;
    if (!QDir::setCurrent(level)) return false;
  }
  return true;
}

}  // namespace Commands
