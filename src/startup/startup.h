// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

class Form1;

namespace Commands {

// "--help" and "--version" print their text to standard output and give the exit code (0); any other
// arguments are ignored and give nothing. Runs before QApplication: no display, window or lock needed.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv);

// The start routine. It may run more than once in one process (tests); each run replaces the window of the last.
void Main();
// The main window Main made, or null.
Form1* MainForm();

}  // namespace Commands
