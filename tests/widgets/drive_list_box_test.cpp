// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/drive_list_box.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "support/qt_printers.h"
#include "support/unprivileged.h"

namespace {

TEST(DriveListBox, MountedVolumesStartAtTheRoot) {
  const QList<Controls::Volume> volumes = Controls::MountedVolumes();
  ASSERT_FALSE(volumes.isEmpty());
  EXPECT_EQ(volumes.first().root, u"/");
  QStringList roots;
  for (const Controls::Volume& volume : volumes) {
    EXPECT_TRUE(QFileInfo(volume.root).isDir()) << volume.root;
    EXPECT_FALSE(roots.contains(volume.root)) << volume.root;
    roots << volume.root;
  }
}

// The list shown before the file systems have answered already holds every volume, so the opened folder's
// volume is selected at once.
TEST(DriveListBox, ListedVolumesHoldTheMountedOnes) {
  const QList<Controls::Volume> listed = Controls::ListedVolumes();
  ASSERT_FALSE(listed.isEmpty());
  EXPECT_EQ(listed.first().root, u"/");
  QStringList roots;
  for (const Controls::Volume& volume : listed) roots << volume.root;
  for (const Controls::Volume& volume : Controls::MountedVolumes())
    EXPECT_TRUE(roots.contains(volume.root)) << volume.root;
}

TEST(DriveListBox, VolumeHoldingAFolder) {
  Controls::DriveListBox drives;
  drives.setVolumes({{QStringLiteral("/"), QString()},
                     {QStringLiteral("/mnt"), QString()},
                     {QStringLiteral("/mnt/usb"), QStringLiteral("STICK")}});
  EXPECT_TRUE(drives.itemText(2).contains(u"STICK"));
  struct Case {
    QString folder;
    QString drive;
  };
  const Case cases[] = {
      {QStringLiteral("/mnt/usb/photos/"), QStringLiteral("/mnt/usb")},
      {QStringLiteral("/mnt/usb"), QStringLiteral("/mnt/usb")},
      {QStringLiteral("/mnt/usbstick"), QStringLiteral("/mnt")},
      {QStringLiteral("/mnt"), QStringLiteral("/mnt")},
      {QStringLiteral("/home/user"), QStringLiteral("/")},
      {QStringLiteral("/"), QStringLiteral("/")},
  };
  for (const Case& c : cases) {
    QSignalSpy changes(&drives, &Controls::DriveListBox::changed);
    const QString before = drives.drive();
    EXPECT_TRUE(drives.setDrive(c.folder));
    EXPECT_EQ(drives.drive(), c.drive) << c.folder;
    EXPECT_EQ(changes.count(), before == c.drive ? 0 : 1) << c.folder;
  }
  QSignalSpy changes(&drives, &Controls::DriveListBox::changed);
  drives.setDriveSilently(QStringLiteral("/mnt/usb/x"));
  EXPECT_EQ(drives.drive(), u"/mnt/usb");
  EXPECT_EQ(changes.count(), 0);
}

}  // namespace
