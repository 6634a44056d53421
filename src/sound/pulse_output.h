// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "tone_output.h"

namespace Sound {

// The desktop's sound server (PulseAudio, or PipeWire's pulse service) through libpulse: the tones play as
// event sounds of a client named Foldwarn. Silence while no server runs; a server that comes back is used
// again at the next tone.
std::unique_ptr<ToneOutput> MakePulseOutput();

}  // namespace Sound
