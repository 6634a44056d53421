// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace Platform {

// The user's private folder for the lock and the socket: $XDG_RUNTIME_DIR, else "foldwarn-<uid>" in the
// temporary folder (made 0700), else "foldwarn-run" in the user's cache folder. A folder is taken only when it
// is a real folder of the user's own that nobody else may enter: a folder planted by another user would let
// them keep the program from starting. Empty when none qualifies.
QString InstanceFolder();

// The lock file that marks a running instance: in InstanceFolder(), named after the program and a hash of its
// folder, so that copies in two folders may run side by side. Empty when there is no private folder.
QString InstanceLockPath(const QString& exeName, const QString& appFolder);

// True when no other instance runs from this program folder; the lock is then held until the program ends,
// and a second start can reach this one (OnSecondStart). A lock left by a crashed run does not count, and a
// lock that cannot be made never keeps the program from starting. Claiming again in the same process gives up
// the earlier lock first.
bool ClaimSingleInstance(const QString& exeName, const QString& appFolder);
void ReleaseSingleInstance();

// Runs onCall on the main thread each time a second start calls the instance holding the lock.
void OnSecondStart(std::function<void()> onCall);

// Used by a second start: tells the running instance from this program folder that it was started again.
// Returns at once when it cannot be reached.
void CallRunningInstance(const QString& exeName, const QString& appFolder);

// Ends the program at once with exitCode: no further handler of any window runs and every window goes.
// Before the event loop has started it makes the loop return exitCode as soon as it starts.
void EndProgram(int exitCode);

// Tests put a recorder in place of the real end; an empty function restores it.
using ProgramEnd = std::function<void(int exitCode)>;
void SetEndProgramForTesting(ProgramEnd end);

}  // namespace Platform
