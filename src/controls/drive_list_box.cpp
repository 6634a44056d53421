// SPDX-License-Identifier: GPL-3.0-or-later
#include "drive_list_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>
#include <memory>

#include "platform/paths.h"

namespace Controls {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

QString CleanFolder(const QString& folder) { return QDir::cleanPath(QDir::fromNativeSeparators(folder)); }

// True when folder is root itself or lies below it.
bool Holds(const QString& root, const QString& folder) {
  if (!folder.startsWith(root, PathCase)) return false;
  return folder.size() == root.size() || root.endsWith(u'/') || folder.at(root.size()) == u'/';
}

// Folder last opened per volume root: process-wide, as a drive's current folder is on Windows.
QHash<QString, QString>& OpenedFolders() {
  static QHash<QString, QString> folders;
  return folders;
}

QString Label(const Volume& volume) {
  const QString root = QDir::toNativeSeparators(volume.root);
  return volume.name.isEmpty() ? root : root + QStringLiteral("  [") + volume.name + u']';
}

// Without duplicates, "/" first, then by root; "/" is always there.
QList<Volume> Arranged(const QList<Volume>& found) {
  QList<Volume> volumes;
  for (const Volume& volume : found) {
    const bool known = std::any_of(volumes.cbegin(), volumes.cend(),
                                   [&](const Volume& v) { return v.root.compare(volume.root, PathCase) == 0; });
    if (!known) volumes.append(volume);
  }
  const QString systemRoot = CleanFolder(QDir::rootPath());
  std::sort(volumes.begin(), volumes.end(), [&](const Volume& a, const Volume& b) {
    const bool aSystem = a.root.compare(systemRoot, PathCase) == 0;
    const bool bSystem = b.root.compare(systemRoot, PathCase) == 0;
    if (aSystem != bSystem) return aSystem;
    return a.root.compare(b.root, PathCase) < 0;
  });
  const bool hasSystem = !volumes.isEmpty() && volumes.first().root.compare(systemRoot, PathCase) == 0;
  if (!hasSystem) volumes.prepend({systemRoot, QString()});
  return volumes;
}

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
  return QFile::decodeName(decoded);
}

// Mounts no one keeps folders on, told by where they are mounted or by their type alone.
bool IsSpecialMount(const QString& root, const QByteArray& type) {
  for (const char* special : {"/dev", "/proc", "/sys", "/var/run", "/var/lock"}) {
    if (Holds(QLatin1String(special), root)) return true;
  }
  static const QList<QByteArray> emptyTypes = {
      "rootfs",  "autofs", "binfmt_misc", "bpf",        "cgroup",    "cgroup2", "configfs",
      "debugfs", "devpts", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",  "nsfs",
      "proc",    "pstore", "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",   "tracefs"};
  return emptyTypes.contains(type);
}

}  // namespace

QList<Volume> MountedVolumes() {
  QList<Volume> found;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    if (!storage.isValid()) continue;
    const QString root = CleanFolder(storage.rootPath());
    // Containers bind single files into place; only folders can be walked.
    if (QFileInfo(root).isDir()) found.append({root, storage.name()});
  }
  return Arranged(found);
}

QList<Volume> ListedVolumes() {
  QList<Volume> found;
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  if (table.open(QIODevice::ReadOnly)) {
    // "id parent major:minor root mount-point options [optional fields] - type source super-options"
    for (const QByteArray& line : table.readAll().split('\n')) {
      const QList<QByteArray> fields = line.split(' ');
      const qsizetype dash = fields.indexOf("-");
      if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size()) continue;
      const QString root = CleanFolder(MountPoint(fields.at(4)));
      if (!IsSpecialMount(root, fields.at(dash + 1))) found.append({root, QString()});
    }
  }
  return Arranged(found);
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent), read_(this, Platform::Background::Priority::Low) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit changed(); });
  showVolumes(ListedVolumes());
  read_.start([this](const Platform::Background::Ticket& ticket) {
    auto volumes = std::make_shared<QList<Volume>>(MountedVolumes());
    ticket.deliver([this, volumes] { showVolumes(*volumes); });
  });
}

void DriveListBox::setVolumes(const QList<Volume>& volumes) {
  read_.cancel();
  showVolumes(volumes);
}

void DriveListBox::showVolumes(const QList<Volume>& volumes) {
  const QString selected = drive();
  const QSignalBlocker blocker(this);
  clear();
  volumes_ = volumes;
  for (const Volume& volume : volumes_) addItem(Label(volume));
  if (!selected.isEmpty()) setDriveSilently(selected);
}

QString DriveListBox::drive() const {
  const int index = currentIndex();
  return index >= 0 && index < volumes_.size() ? volumes_.at(index).root : QString();
}

int DriveListBox::indexHolding(const QString& folder) const {
  const QString clean = CleanFolder(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
  int best = -1;
  for (int i = 0; i < volumes_.size(); ++i) {
    if (Holds(volumes_.at(i).root, clean) && (best < 0 || volumes_.at(i).root.size() > volumes_.at(best).root.size()))
      best = i;
  }
  return best;
}

bool DriveListBox::setDrive(const QString& folder) {
  if (folder.isEmpty()) return false;
  const int index = indexHolding(folder);
  if (index < 0) return false;
  setCurrentIndex(index);
  return true;
}

void DriveListBox::setDriveSilently(const QString& folder) {
  const QSignalBlocker blocker(this);
  setDrive(folder);
}

void DriveListBox::noteOpenedFolder(const QString& folder) const {
  const int index = indexHolding(folder);
  if (index >= 0) OpenedFolders().insert(volumes_.at(index).root, CleanFolder(folder));
}

QString DriveListBox::openedFolderOnDrive() const {
  const QString root = drive();
  const QString opened = OpenedFolders().value(root);
  // Volumes mounted below this one since then hold their own folders.
  if (!opened.isEmpty() && indexHolding(opened) == currentIndex() && Platform::IsListableFolder(opened)) return opened;
  return root;
}

}  // namespace Controls
