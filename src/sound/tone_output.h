// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioDevice>
#include <memory>

#include "tone.h"

namespace Sound {

// Where played tones go. Every call runs on the playback thread; Play cuts off whatever still sounds.
class ToneOutput {
 public:
  virtual ~ToneOutput() = default;
  virtual void Play(const std::shared_ptr<const Tone>& tone) = 0;
};

// The default audio device through QAudioSink; silence when there is none.
std::unique_ptr<ToneOutput> MakeDeviceOutput();

// The format a tone is played in: its own rate and channels as 16-bit or float when the device takes that,
// else the device's preferred format (the tone is converted to it).
QAudioFormat ChoosePlaybackFormat(const Tone& tone, const QAudioDevice& device);

}  // namespace Sound

namespace Sound {

// Tests play into their own output instead of the audio device; nothing restores the device.
void SetOutputForTesting(std::unique_ptr<ToneOutput> output);
// Blocks until every tone asked for so far has been handed to the output.
void WaitForPlaybackForTesting();

}  // namespace Sound
