// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace Commands {

// The switches that answer without a window: "--help"/"-h" and "--version"/"-V" print their text and give 0;
// "--autostart on|off" writes or removes the session's start entry and gives 0, 1 when that failed, 2 for a
// missing or unknown value. Any other argument is ignored and gives nothing. Runs before QApplication: no
// display, window or lock needed.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv);

}  // namespace Commands
