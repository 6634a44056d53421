// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/folder_count.h"

namespace Platform {

// The descriptor behind an open folder, for this system's own code.
struct FolderHandle {
  static int of(const OpenFolder& folder) { return folder.handle_; }
};

}  // namespace Platform
