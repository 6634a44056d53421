// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "tone.h"

namespace Sound {

// Where played tones go. Every call comes from the playback thread and returns without waiting for the tone;
// play cuts off whatever still sounds. False when the tone's own format cannot be played at all.
class ToneOutput {
 public:
  virtual ~ToneOutput() = default;
  virtual bool play(const std::shared_ptr<const Tone>& tone, const QString& name) = 0;
};

}  // namespace Sound

namespace Sound {

// Tests play into their own output instead of the sound server; nothing restores the server.
void SetOutputForTesting(std::unique_ptr<ToneOutput> output);
// Blocks until every tone asked for so far has been handed to the output.
void WaitForPlaybackForTesting();

}  // namespace Sound
