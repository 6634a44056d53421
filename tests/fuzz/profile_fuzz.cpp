// SPDX-License-Identifier: GPL-3.0-or-later
// Random file bytes, then a read and a write of random keys: no crash, no hang, the written value reads
// back, and the write keeps every byte it did not replace.
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "commands/private_profile.h"
#include "platform/file_name.h"

namespace {

const QString& workFile() {
  static const QString path = [] {
    // Memory-backed where there is one: every write syncs the file to its disk.
    const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QString dir = base + "/foldwarn-fuzz-" + QString::number(::getpid());
    QDir().mkpath(dir);
    return dir + "/fuzz.ini";
  }();
  return path;
}

// Takes a short text off the front of the input: a length byte, then that many bytes.
QString takeText(const uint8_t*& data, size_t& size) {
  if (size == 0) return QString();
  size_t n = std::min<size_t>(data[0] % 24, size - 1);
  QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(n));
  data += n + 1;
  size -= n + 1;
  return text;
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// True when after equals before but for one stretch within a single line (the old value), or one insertion.
bool keepsTheRest(const QByteArray& before, const QByteArray& after) {
  qsizetype prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  const QByteArray replaced = before.mid(prefix, before.size() - prefix - suffix);
  return !replaced.contains('\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString section = takeText(data, size);
  const QString key = takeText(data, size);
  const QString value = takeText(data, size);
  const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));

  const QString& path = workFile();
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(file);
  }
  (void)Commands::ReadProfileString(section, key, path);

  const bool written = Commands::WriteProfileString(section, key, value, path);
  const QByteArray after = readAll(path);
  if (!written) {
    if (after != file) std::abort();  // a refused write must not touch the file
    return 0;
  }
  if (!keepsTheRest(file, after)) std::abort();
  const std::optional<QString> reread = Commands::ReadProfileString(section, key, path);
  // Blanks around a value and matching quotes are not part of it when read back. Decoded as the reader decodes:
  // QString::fromUtf8 would drop a byte order mark that the trimming left in front.
  const QString expected = Platform::DecodeName(value.toUtf8().trimmed());
  const bool quoted = expected.size() >= 2 && (expected.front() == u'"' || expected.front() == u'\'') &&
                      expected.back() == expected.front();
  if (!reread) std::abort();
  if (!quoted && *reread != expected) std::abort();
  return 0;
}
