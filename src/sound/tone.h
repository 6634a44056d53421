// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>
#include <vector>

class QIODevice;

namespace Sound {

// A decoded wave file: interleaved samples in [-1, 1].
struct Tone {
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> samples;

  qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
};

// Longer sounds are cut here: a tone list may offer a file of any size, and the whole tone is kept in memory.
inline constexpr qint64 MaxToneSamples = 16 * 1024 * 1024;

// Decodes whatever libsndfile reads (every common wave encoding). Nothing when the data is not a sound, or
// when memory runs out.
std::shared_ptr<const Tone> DecodeTone(QIODevice& device);
std::shared_ptr<const Tone> DecodeToneFile(const QString& path);

}  // namespace Sound
