// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QList>
#include <QString>

#include "jobs/background.h"
#include "platform/mount_table.h"

namespace Controls {

using Volume = Platform::Volume;

// The platform's volumes without duplicates, "/" first (always there), then by root. Asks every file system: may
// wait on a hung share.
QList<Volume> MountedVolumes();
// The same from the mount table alone: never waits.
QList<Volume> ListedVolumes();

// The classic drive list: one entry per volume. Every change of the selection, by the user or by code,
// is signalled through changed(). It starts with ListedVolumes() and takes MountedVolumes() once they have been
// read on a thread of their own.
class DriveListBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveListBox(QWidget* parent = nullptr);

  // Replaces the entries and drops the volumes still being read; the selection moves silently to the volume that
  // held the old one.
  void setVolumes(const QList<Volume>& volumes);

  // Root of the selected volume.
  QString drive() const;
  // Selects the volume that holds the folder (the longest root it starts with). False when none does.
  bool setDrive(const QString& folder);
  // The same without signalling: for following the directory list or going back after a failure.
  void setDriveSilently(const QString& folder);

  // Remembers a folder as the one last opened on its volume, for every drive list of the process.
  void noteOpenedFolder(const QString& folder) const;
  // The folder last opened on the selected volume, else the volume's root; from memory alone, without asking the
  // disk whether it is still there.
  QString openedFolderOnDrive() const;

 signals:
  void changed();

 private:
  int indexHolding(const QString& folder) const;
  void showVolumes(const QList<Volume>& volumes);

  QList<Volume> volumes_;
  Jobs::Background read_;
};

}  // namespace Controls
