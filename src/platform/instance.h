#pragma once

#include <QString>
#include <functional>

namespace Platform {

// The lock file that marks a running instance: in the user's runtime folder, named after the program and a
// hash of its folder, so that copies in two folders may run side by side.
QString InstanceLockPath(const QString& exeName, const QString& appFolder);

// True when no other instance runs from this program folder; the lock is then held until the program ends.
// A lock left by a crashed run does not count, and a lock that cannot be made never keeps the program from
// starting. Claiming again in the same process gives up the earlier lock first.
bool ClaimSingleInstance(const QString& exeName, const QString& appFolder);
void ReleaseSingleInstance();

// Ends the program at once with exitCode: no further handler of any window runs and every window goes.
// Before the event loop has started it makes the loop return exitCode as soon as it starts.
void EndProgram(int exitCode);

// Tests put a recorder in place of the real end; an empty function restores it.
using ProgramEnd = std::function<void(int exitCode)>;
void SetEndProgramForTesting(ProgramEnd end);

}  // namespace Platform
