// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "platform/folder_count.h"

namespace Platform {

struct Volume {
  QString root;  // the volume's top folder, "/" for the system volume
  QString name;  // its label, may be empty
};

// The mounted volumes that hold folders, in no particular order. Asks every file system: may wait on a hung share.
QList<Volume> MountedVolumes();
// The same from the mount table alone, without labels and without asking any file system: never waits, but may
// hold a few mounts that MountedVolumes() leaves out (empty pseudo file systems, files bound into place).
QList<Volume> ListedVolumes();
// The kind of file system the open folder lies on, as the mount table names it ("ext4", "nfs4", "fuse.rclone");
// empty when the table does not say. Reads the table only: never waits on a share.
QByteArray VolumeKindOf(const OpenFolder& folder);

}  // namespace Platform
