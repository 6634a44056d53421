#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <windows.h>

namespace Platform {

std::optional<QString> LongPathName(const QString& path) {
  wchar_t buffer[260];
  const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
  const DWORD n = GetLongPathNameW(native.c_str(), buffer, 260);
  if (n == 0 || n >= 260) return std::nullopt;
  return QString::fromWCharArray(buffer, int(n));
}

bool IsListableFolder(const QString& path) {
  const QFileInfo info(path.isEmpty() ? QStringLiteral("\\") : path);
  return info.isDir() && QDir(info.filePath()).isReadable();
}

bool CanOpenFileForReading(const QString& path) {
  if (path.isEmpty() || QFileInfo(path).isDir()) return false;
  QFile f(path);
  return f.open(QIODevice::ReadOnly);
}

}  // namespace Platform
