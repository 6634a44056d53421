// Windows: the platform's own private-profile functions.
#include "private_profile.h"

#include <QDir>
#include <windows.h>

namespace Platform {

std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file) {
  wchar_t buffer[2048];
  const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
  const DWORD n = GetPrivateProfileStringW(section.toStdWString().c_str(), key.toStdWString().c_str(), L"\x01", buffer,
                                           2048, path.c_str());
  if (n == 1 && buffer[0] == L'\x01') return std::nullopt;
  return QString::fromWCharArray(buffer, int(n));
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
  const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
  return WritePrivateProfileStringW(section.toStdWString().c_str(), key.toStdWString().c_str(),
                                    value.toStdWString().c_str(), path.c_str()) != 0;
}

}  // namespace Platform
