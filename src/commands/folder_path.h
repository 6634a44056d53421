// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Commands {

// Creates the folder and every missing folder above it, level by level from the root, each inside the one
// above. Appends a separator to the caller's path when it has none. True when every level can be entered; false
// at the first level that can be neither created nor entered. Levels created before a failure stay. The
// process's current folder stays where it was.
bool CreateFolderPath(QString& path);

}  // namespace Commands
