// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace Commands {

// What the command line asks for.
struct CommandLine {
  // Set when the program answers without a window and ends with this code: "--help"/"-h" and "--version"/"-V"
  // print their text (0); "--autostart on|off" (or "--autostart=on|off") writes or removes the session's start
  // entry (0, 1 when that failed). An unknown option, a malformed value, a second folder or a folder that is no
  // folder prints one line and the usage on standard error (2).
  std::optional<int> exitCode;
  // The folder to watch instead of the stored one, absolute; empty when none was given.
  QString folder;
};

// Runs before QApplication: no display, window or lock needed. Qt's own options (-session, -style, ...) are
// left for QApplication, so that a session manager can restart the program with them.
CommandLine ReadCommandLine(int argc, const char* const* argv);

}  // namespace Commands
