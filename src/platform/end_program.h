// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Platform {

// Ends the program at once with exitCode: no further handler of any window runs and every window goes.
// Before the event loop has started it makes the loop return exitCode as soon as it starts.
void EndProgram(int exitCode);

}  // namespace Platform
