// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include "commands.h"

namespace Commands {
QString AddBackslash(QString& path) {
  if (!path.endsWith(Platform::Separator)) path += Platform::Separator;
  return path;
}

bool FolderExists(const QString& path) {
  // An empty path names the root, as the current drive's root does on Windows.
  return Platform::IsListableFolder(path.isEmpty() ? QString(Platform::Separator) : path);
}

bool FileExists(const QString& path) { return Platform::CanOpenFileForReading(path); }

QString GetLongPath(const QString& path) { return path.isEmpty() ? path : Platform::LongPathName(path); }

}  // namespace Commands
