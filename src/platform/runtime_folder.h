// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Platform {

// The user's private folder for the lock and the socket: $XDG_RUNTIME_DIR, else "foldwarn-<uid>" in the
// temporary folder (made 0700), else "foldwarn-run" in the user's cache folder. A folder is taken only when it
// is a real folder of the user's own that nobody else may enter: a folder planted by another user would let
// them keep the program from starting. Empty when none qualifies.
QString InstanceFolder();

}  // namespace Platform
