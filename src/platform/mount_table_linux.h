// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include "platform/mount_table.h"

namespace Platform {

// The volumes a table in the format of /proc/self/mountinfo lists, but the pseudo file systems no one keeps
// folders on; mount points decoded from the table's octal escapes.
QList<Volume> VolumesInMountInfo(const QByteArray& table);

}  // namespace Platform
