// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace Platform {

// The user's entry that starts Foldwarn with the desktop session:
// $XDG_CONFIG_HOME/autostart/foldwarn.desktop (~/.config/autostart/ when the variable is unset or relative).
QString AutostartEntryFile();

// The entry's text, starting programFile with no arguments; nothing when no entry can name programFile.
std::optional<QString> AutostartEntry(const QString& programFile);

// The Exec value that starts programFile with no arguments, as GLib-based desktops and the desktop entry rules
// both read it. Nothing for a path that is not UTF-8.
std::optional<QString> DesktopExec(const QString& programFile);

// Writes (on) or removes (off) the entry. Off succeeds when there is no entry. On failure, false with the
// reason in *error.
bool SetAutostart(bool on, const QString& programFile, QString* error);

// The running program's own file, links resolved; empty when the system does not say.
QString RunningProgramFile();

}  // namespace Platform
