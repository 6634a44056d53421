// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Form1;

namespace Commands {

// The start routine. It may run more than once in one process (tests); each run replaces the window of the last.
void Main();
// The main window Main made, or null.
Form1* MainForm();

}  // namespace Commands
