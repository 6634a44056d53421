// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Platform {

// The user's entry that starts Foldwarn with the desktop session:
// $XDG_CONFIG_HOME/autostart/foldwarn.desktop (~/.config/autostart/ when the variable is unset or relative).
QString AutostartEntryFile();

// The entry's text, starting programFile with no arguments.
QString AutostartEntry(const QString& programFile);

// programFile as one argument of an entry's Exec line: quoted and escaped where the desktop entry rules
// ask for it, so that a launcher splits it back into the same path.
QString DesktopExecArgument(const QString& programFile);

// Writes (on) or removes (off) the entry. Off succeeds when there is no entry. On failure, false with the
// reason in *error.
bool SetAutostart(bool on, const QString& programFile, QString* error);

// The running program's own file, links resolved; empty when the system does not say.
QString RunningProgramFile();

}  // namespace Platform
