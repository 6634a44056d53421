// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Commands {

// Creates the folder's last level inside the folder above it, as that folder is now: the levels above must
// exist, and none is made again when it is gone. Appends a separator to the caller's path when it has none. True
// when the folder can be entered afterwards (an existing one included). The process's current folder stays where
// it was.
bool CreateFolderPath(QString& path);

}  // namespace Commands
