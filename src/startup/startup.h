// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class Form1;

namespace Commands {

// The start routine for the program file given: the main window, shown and being filled, which holds the
// program's state, watching folder instead of the stored one when that is not empty. None when another instance
// runs from the program's folder: that one was called instead and handed folder, and *secondStartExit is 0 when
// the call reached it, 1 when not.
std::unique_ptr<Form1> Main(const QString& programFile, const QString& folder = {}, int* secondStartExit = nullptr);

// Ends the process once its event loop has returned and the window is gone.
[[noreturn]] void EndProcess(int exitCode);

}  // namespace Commands
