#include "commands.h"

#include "platform/private_profile.h"

namespace Commands {
namespace {
// The platform's profile buffer holds 2048 characters including the terminator.
constexpr qsizetype MaxSettingLength = 2047;
}  // namespace

void InitSettingsFile() {
  SettingsSection = QStringLiteral("Divuvadi Foldwarn");
  // Always ".exe", whatever the real extension: the last three characters become "ini".
  const QString longName = GetLongPath(AppFolder + ExeName + QStringLiteral(".exe"));
  if (longName.size() >= 3) SettingsFile = longName.chopped(3) + QStringLiteral("ini");
}

QString ReadSetting(const QString& section, const QString& key, const QString& file, const QString& defaultValue) {
  QString value = Platform::ReadProfileString(section, key, file).value_or(QString());
  if (value.size() > MaxSettingLength) {
    value.truncate(MaxSettingLength);
    if (value.back().isHighSurrogate()) value.chop(1);  // never leave half a character
  }
  return value.isEmpty() ? defaultValue : value;
}

QString WriteSetting(const QString& section, const QString& key, const QString& value, const QString& file) {
  Platform::WriteProfileString(section, key, value, file);  // a lost write is silent by design
  return QString();
}

}  // namespace Commands
