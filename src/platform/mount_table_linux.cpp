// SPDX-License-Identifier: GPL-3.0-or-later
#include "mount_table_linux.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStorageInfo>

#include "file_name.h"
#include "platform/folder_handle_linux.h"

namespace Platform {
namespace {

QString CleanFolder(const QString& folder) { return QDir::cleanPath(folder); }

// The mount table writes blanks, tabs, line breaks and backslashes in a path as octal escapes.
QString MountPoint(const QByteArray& field) {
  QByteArray decoded;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      bool ok = false;
      const int code = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        decoded.append(char(code));
        i += 3;
        continue;
      }
    }
    decoded.append(field[i]);
  }
  return DecodeName(decoded);
}

bool IsAtOrBelow(const QString& root, const QString& folder) {
  return folder == root || folder.startsWith(root + u'/');
}

// Mounts no one keeps folders on, told by where they are mounted or by their type alone.
bool IsSpecialMount(const QString& root, const QByteArray& type) {
  for (const char* special : {"/dev", "/proc", "/sys", "/var/run", "/var/lock"}) {
    if (IsAtOrBelow(QLatin1String(special), root)) return true;
  }
  static const QList<QByteArray> emptyTypes = {
      "rootfs",  "autofs", "binfmt_misc", "bpf",        "cgroup",    "cgroup2", "configfs",
      "debugfs", "devpts", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",  "nsfs",
      "proc",    "pstore", "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",   "tracefs"};
  return emptyTypes.contains(type);
}

}  // namespace

QList<Volume> MountedVolumes() {
  // QStorageInfo names a root that is not UTF-8 by another name; the mount table has its bytes.
  QHash<QString, QString> kept;
  for (const Volume& listed : ListedVolumes()) {
    if (const std::optional<QByteArray> bytes = EncodeName(listed.root))
      kept.insert(QString::fromUtf8(*bytes), listed.root);
  }
  QList<Volume> found;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    if (!storage.isValid()) continue;
    const QString root = kept.value(CleanFolder(storage.rootPath()), CleanFolder(storage.rootPath()));
    // Containers bind single files into place; only folders can be walked.
    const std::optional<QByteArray> bytes = EncodeName(root);
    struct stat st {};
    if (bytes && ::stat(bytes->constData(), &st) == 0 && S_ISDIR(st.st_mode)) found.append({root, storage.name()});
  }
  return found;
}

QList<Volume> ListedVolumes() {
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  return table.open(QIODevice::ReadOnly) ? VolumesInMountInfo(table.readAll()) : QList<Volume>();
}

QByteArray VolumeKindOf(const OpenFolder& folder) {
  struct stat st {};
  if (::fstat(FolderHandle::of(folder), &st) != 0) return {};
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  if (!table.open(QIODevice::ReadOnly)) return {};
  const QByteArray device = QByteArray::number(major(st.st_dev)) + ':' + QByteArray::number(minor(st.st_dev));
  for (const QByteArray& line : table.readAll().split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype dash = fields.indexOf("-");
    if (fields.size() > 2 && fields.at(2) == device && dash > 0 && dash + 1 < fields.size()) return fields.at(dash + 1);
  }
  return {};
}

QList<Volume> VolumesInMountInfo(const QByteArray& table) {
  QList<Volume> found;
  // "id parent major:minor root mount-point options [optional fields] - type source super-options"
  for (const QByteArray& line : table.split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype dash = fields.indexOf("-");
    if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size()) continue;
    const QString root = CleanFolder(MountPoint(fields.at(4)));
    if (!IsSpecialMount(root, fields.at(dash + 1))) found.append({root, QString()});
  }
  return found;
}

}  // namespace Platform
