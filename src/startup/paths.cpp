#include "commands.h"

#include "platform/paths.h"

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

QString GetLongPath(const QString& path) {
  if (path.isEmpty()) return path;
  if (std::optional<QString> longPath = Platform::LongPathName(path)) return *longPath;
  return RecasePath(path);
}

QString RecasePath(const QString& path) {
  static const QString wordStarts = QStringLiteral(" -(_\\");
  QString result = path;
  for (qsizetype i = 0; i < result.size(); ++i) {
    const bool upper = i == 0 || wordStarts.contains(path[i - 1]);
    result[i] = upper ? path[i].toUpper() : path[i].toLower();
  }
  return result;
}

}  // namespace Commands
