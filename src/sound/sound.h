// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace Sound {

// Starts playing a wave file in the background and returns at once. The path is played as given, never looked
// up; a file that cannot be played gives the built-in fallback tone. Never reports a failure.
void PlaySoundFile(const QString& file);

// Tests put a recorder in place of the real player; an empty function restores it.
using Player = std::function<void(const QString& file)>;
void SetPlayerForTesting(Player player);

}  // namespace Sound
