// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace Platform {

// The lock file that marks a running instance: in InstanceFolder(), named after the program and a hash of its
// folder, so that copies in two folders may run side by side. Empty when there is no private folder.
QString InstanceLockPath(const QString& exeName, const QString& appFolder);

// Where a second start calls the running instance: a socket with a short name beside the lock, or, where even
// that path would not fit a socket address, a name in the abstract namespace, which needs no folder and where
// only a caller of the same user is heard. An empty name when there is no private folder.
struct SecondStartSocket {
  QString name;
  bool abstract = false;
};
SecondStartSocket SecondStartSocketFor(const QString& exeName, const QString& appFolder);

// True when no other instance runs from this program folder; the lock is then held until the program ends,
// and a second start can reach this one (OnSecondStart). A lock left by a crashed run does not count, and a
// lock that cannot be made never keeps the program from starting (one line on standard error says that a second
// copy will then not be noticed). Claiming again in the same process gives up the earlier lock first.
bool ClaimSingleInstance(const QString& exeName, const QString& appFolder);
void ReleaseSingleInstance();

// Runs onCall on the main thread each time a second start calls the instance holding the lock, with the folder
// it was given to open, or an empty one.
void OnSecondStart(std::function<void(const QString& folder)> onCall);

// Used by a second start: tells the running instance from this program folder that it was started again, and
// hands it folder when that is not empty. False, said on standard error, when the call did not reach this
// user's own running instance.
bool CallRunningInstance(const QString& exeName, const QString& appFolder, const QString& folder);

}  // namespace Platform
