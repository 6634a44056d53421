// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_path.h"

#include <QDir>

#include "commands/commands.h"
#include "platform/folder_create.h"
#include "platform/paths.h"

namespace Commands {

bool CreateFolderPath(QString& path) {
  AddBackslash(path);
  const QString folder = path.chopped(1);
  if (folder.isEmpty()) return true;  // the root alone: nothing to make
  // "." and ".." levels or doubled separators would name another folder than the one shown.
  if (!QDir::isAbsolutePath(path) || QDir::cleanPath(folder) != folder) return false;
  const qsizetype cut = folder.lastIndexOf(Platform::Separator);
  // The root keeps its separator; any other parent is named without one.
  const QString parent = cut == 0 ? QString(Platform::Separator) : folder.left(cut);
  return Platform::MakeFolderIn(parent, folder.mid(cut + 1));
}

}  // namespace Commands
