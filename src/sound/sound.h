// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace Sound {

// Starts playing a wave file in the background and returns at once. A bare name is looked up as
// ResolveToneFile says; a file that cannot be played gives the built-in fallback tone. Never reports a failure.
void PlaySoundFile(const QString& file);

// The file PlaySoundFile plays for a name: a bare name (no folder separator) is the user's tone of that name
// when there is one, else the program folder's.
QString ResolveToneFile(const QString& file);

// Tests put a recorder in place of the real player; an empty function restores it.
using Player = std::function<void(const QString& file)>;
void SetPlayerForTesting(Player player);

}  // namespace Sound
