// SPDX-License-Identifier: GPL-3.0-or-later
#include "drive_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSignalBlocker>
#include <algorithm>
#include <memory>

#include "platform/file_name.h"
#include "platform/mount_table.h"
#include "platform/paths.h"

namespace Controls {

namespace {

QString CleanFolder(const QString& folder) { return QDir::cleanPath(QDir::fromNativeSeparators(folder)); }

// True when folder is root itself or lies below it.
bool Holds(const QString& root, const QString& folder) {
  if (!folder.startsWith(root, Platform::PathCase)) return false;
  return folder.size() == root.size() || root.endsWith(u'/') || folder.at(root.size()) == u'/';
}

// Folder last opened per volume root: process-wide, as a drive's current folder is on Windows.
QHash<QString, QString>& OpenedFolders() {
  static QHash<QString, QString> folders;
  return folders;
}

QString Label(const Volume& volume) {
  const QString root = Platform::DisplayName(QDir::toNativeSeparators(volume.root));
  return volume.name.isEmpty() ? root : root + QStringLiteral("  [") + volume.name + u']';
}

// Without duplicates, "/" first, then by root; "/" is always there.
QList<Volume> Arranged(const QList<Volume>& found) {
  QList<Volume> volumes;
  for (const Volume& volume : found) {
    const bool known = std::any_of(volumes.cbegin(), volumes.cend(), [&](const Volume& v) {
      return v.root.compare(volume.root, Platform::PathCase) == 0;
    });
    if (!known) volumes.append(volume);
  }
  const QString systemRoot = CleanFolder(QDir::rootPath());
  std::sort(volumes.begin(), volumes.end(), [&](const Volume& a, const Volume& b) {
    const bool aSystem = a.root.compare(systemRoot, Platform::PathCase) == 0;
    const bool bSystem = b.root.compare(systemRoot, Platform::PathCase) == 0;
    if (aSystem != bSystem) return aSystem;
    return a.root.compare(b.root, Platform::PathCase) < 0;
  });
  const bool hasSystem = !volumes.isEmpty() && volumes.first().root.compare(systemRoot, Platform::PathCase) == 0;
  if (!hasSystem) volumes.prepend({systemRoot, QString()});
  return volumes;
}

}  // namespace

QList<Volume> MountedVolumes() { return Arranged(Platform::MountedVolumes()); }

QList<Volume> ListedVolumes() { return Arranged(Platform::ListedVolumes()); }

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent), read_(this, Jobs::Background::Priority::Low) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit changed(); });
  showVolumes(ListedVolumes());
  // One job asks every volume: while one that hangs holds it, the lists of later pickers wait for it rather than
  // each taking a thread.
  read_.start(QStringLiteral("mounted volumes"), [this](const Jobs::Background::Ticket& ticket) {
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
  if (!opened.isEmpty() && indexHolding(opened) == currentIndex()) return opened;
  return root;
}

}  // namespace Controls
