// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace Platform {

// Runs handler on the UI thread when the process is asked to end (SIGTERM, SIGINT, SIGHUP), so that a
// logout or `kill` closes the program the normal way. A later call replaces the handler.
void OnQuitSignal(std::function<void()> handler);

}  // namespace Platform
