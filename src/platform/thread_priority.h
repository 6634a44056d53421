// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Platform {

// Lets the calling thread yield to the window's thread on a busy machine.
void LowerThreadPriority();

}  // namespace Platform
