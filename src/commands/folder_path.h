#pragma once

#include <QString>

namespace Commands {

// Creates the folder and every missing folder above it, level by level from the root, and enters each.
// Appends a separator to the caller's path when it has none. True when every level was entered; false at the
// first level that can be neither created nor entered. Levels created before a failure stay, and the process's
// current folder is left at the deepest level reached.
bool CreateFolderPath(QString& path);

}  // namespace Commands
