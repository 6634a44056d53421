// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/change_notices.h"

namespace Platform {

// One inotify event's kind of change, from its mask; named is false for an event about the watched folder itself.
Change ChangeOf(std::uint32_t eventMask, bool named);

// True for file systems, by their statfs type, whose every change raises a notice on this machine.
bool IsLocalFileSystem(long fileSystemType);

}  // namespace Platform
