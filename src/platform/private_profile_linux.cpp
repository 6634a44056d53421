// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile files without the Windows API: the text is edited as bytes (profile_text.h) and written whole
// with the crash-safe replace (file_replace.h).
#include "file_replace.h"
#include "paths.h"
#include "private_profile.h"
#include "profile_text.h"

namespace Platform {
namespace {

// Larger files are not parsed: nobody writes a settings file that size, and reading it would stall start-up.
constexpr qint64 MaxProfileSize = 256LL * 1024 * 1024;

std::optional<QByteArray> ReadWholeFile(const QString& file) {
  const std::optional<FileStamp> stamp = StampOf(file);
  if (!stamp || stamp->size > MaxProfileSize) return std::nullopt;
  QFile f;
  if (!OpenForReading(file, f)) return std::nullopt;
  QByteArray data = f.readAll();
  if (f.error() != QFileDevice::NoError) return std::nullopt;
  return data;
}

}  // namespace

std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file) {
  const std::optional<QByteArray> data = ReadWholeFile(file);
  return data ? ProfileValue(*data, section, key) : std::nullopt;
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
  // Write through symbolic links to the file at the end of the chain rather than replacing a link.
  const QString target = LinkChainEnd(file);
  if (target.isEmpty()) return false;
  const bool isFile = StampOf(target).has_value();
  if (!isFile && PathExists(target)) return false;

  QByteArray data;
  if (isFile) {
    std::optional<QByteArray> existing = ReadWholeFile(target);
    if (!existing) return false;  // never replace a file we could not read whole
    data = std::move(*existing);
  }
  const std::optional<QByteArray> edited = WithProfileValue(std::move(data), section, key, value);
  return edited && ReplaceFileContents(target, *edited);
}

}  // namespace Platform
