#pragma once

#include <QString>
#include <functional>

namespace Sound {

// Starts playing a wave file in the background and returns at once. A bare name is looked up in the
// program folder; a file that cannot be played gives the built-in fallback tone. Never reports a failure.
void PlaySoundFile(const QString& file);

// The file PlaySoundFile plays for a name: a bare name (no folder separator) lies in the program folder.
QString ResolveToneFile(const QString& file);

// Tests put a recorder in place of the real player; an empty function restores it.
using Player = std::function<void(const QString& file)>;
void SetPlayerForTesting(Player player);

}  // namespace Sound
