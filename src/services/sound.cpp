// Placeholder until the playback lands: records through the test hook, plays nothing.
#include "sound.h"

namespace Sound {
namespace {
Player& testPlayer() {
  static Player player;
  return player;
}
}  // namespace

void PlaySoundFile(const QString& file) {
  if (testPlayer()) testPlayer()(file);
}

void SetPlayerForTesting(Player player) { testPlayer() = std::move(player); }

}  // namespace Sound
