// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioFormat>
#include <QByteArray>
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
// The tone converted for the device is cut at as many samples.
inline constexpr qint64 kMaxToneSamples = 16 * 1024 * 1024;

// Decodes whatever libsndfile reads (every common wave encoding). Nothing when the data is not a sound, or
// when memory runs out.
std::shared_ptr<const Tone> DecodeTone(QIODevice& device);
std::shared_ptr<const Tone> DecodeToneFile(const QString& path);

// The tone as raw samples in the given format: resampled, channels mapped, sample type converted.
QByteArray ConvertTone(const Tone& tone, const QAudioFormat& format);

}  // namespace Sound
