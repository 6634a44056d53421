// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone.h"

#include <sndfile.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace Sound {
namespace {

// libsndfile reads through Qt's device: Unicode paths and Qt resources work alike on every platform.
sf_count_t VioLength(void* user) { return static_cast<QIODevice*>(user)->size(); }

sf_count_t VioSeek(sf_count_t offset, int whence, void* user) {
  auto* device = static_cast<QIODevice*>(user);
  qint64 target = offset;
  if (whence == SEEK_CUR) target += device->pos();
  if (whence == SEEK_END) target += device->size();
  if (target < 0 || !device->seek(target)) return -1;
  return device->pos();
}

sf_count_t VioRead(void* ptr, sf_count_t count, void* user) {
  const qint64 got = static_cast<QIODevice*>(user)->read(static_cast<char*>(ptr), count);
  return got < 0 ? 0 : got;
}

sf_count_t VioWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t VioTell(void* user) { return static_cast<QIODevice*>(user)->pos(); }

}  // namespace

std::shared_ptr<const Tone> DecodeTone(QIODevice& device) {
  if (!device.isOpen() || device.isSequential()) return nullptr;
  SF_VIRTUAL_IO io{VioLength, VioSeek, VioRead, VioWrite, VioTell};
  SF_INFO info{};
  const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open_virtual(&io, SFM_READ, &info, &device), sf_close);
  if (!file || info.channels <= 0 || info.samplerate <= 0) return nullptr;
  // Memory running out is no worse than a file that is no sound: the caller plays its fallback.
  try {
    auto tone = std::make_shared<Tone>();
    tone->sampleRate = info.samplerate;
    tone->channels = info.channels;
    // The header's frame count is not trusted (a few bytes can claim hours): the buffer grows with what is
    // really decoded, in chunks, up to the cap. Integer encodings scale to [-1, 1); float files are taken as
    // they are and clipped on output.
    const qint64 maxFrames = kMaxToneSamples / info.channels;
    const qint64 chunkFrames = std::max<qint64>(1, 64 * 1024 / info.channels);
    std::vector<float>& samples = tone->samples;
    qint64 frames = 0;
    while (frames < maxFrames) {
      const qint64 wanted = std::min(chunkFrames, maxFrames - frames);
      const size_t needed = size_t(frames + wanted) * info.channels;
      if (needed > samples.capacity())
        samples.reserve(std::min(std::max(needed, 2 * samples.capacity()), size_t(maxFrames) * info.channels));
      samples.resize(needed);
      const sf_count_t got = sf_readf_float(file.get(), samples.data() + frames * info.channels, wanted);
      frames += std::max<sf_count_t>(got, 0);
      if (got < wanted) break;
    }
    samples.resize(size_t(frames) * info.channels);
    samples.shrink_to_fit();
    return frames > 0 ? tone : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::shared_ptr<const Tone> DecodeToneFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  return DecodeTone(file);
}

QByteArray ConvertTone(const Tone& tone, const QAudioFormat& format) {
  const int outChannels = format.channelCount();
  const int outRate = format.sampleRate();
  const int bytesPerSample = format.bytesPerSample();
  if (tone.channels <= 0 || tone.sampleRate <= 0 || outChannels <= 0 || outRate <= 0 || bytesPerSample <= 0) return {};
  const qint64 inFrames = tone.frames();
  // Capped like a decoded tone: a low rate played at a high one would otherwise grow without bound.
  const qint64 outFrames = std::min(inFrames * outRate / tone.sampleRate, kMaxToneSamples / outChannels);
  QByteArray out(outFrames * outChannels * bytesPerSample, Qt::Uninitialized);
  char* dst = out.data();

  auto inSample = [&](qint64 frame, int channel) -> float {
    frame = std::min(frame, inFrames - 1);
    const float* f = tone.samples.data() + frame * tone.channels;
    if (outChannels == 1 && tone.channels > 1) {
      float sum = 0;  // down to mono: the average of all channels
      for (int c = 0; c < tone.channels; ++c) sum += f[c];
      return sum / tone.channels;
    }
    if (channel < tone.channels) return f[channel];
    return tone.channels == 1 ? f[0] : 0.0f;  // mono goes to every speaker; missing channels stay silent
  };
  auto put = [&](float v) {
    v = std::clamp(v, -1.0f, 1.0f);
    switch (format.sampleFormat()) {
      case QAudioFormat::UInt8: {
        const quint8 s = quint8(std::lround(v * 127.0f) + 128);
        std::memcpy(dst, &s, 1);
        break;
      }
      case QAudioFormat::Int16: {
        const qint16 s = qint16(std::lround(v * 32767.0f));
        std::memcpy(dst, &s, 2);
        break;
      }
      case QAudioFormat::Int32: {
        const qint32 s = qint32(std::lround(double(v) * 2147483647.0));
        std::memcpy(dst, &s, 4);
        break;
      }
      case QAudioFormat::Float:
        std::memcpy(dst, &v, 4);
        break;
      default:
        std::memset(dst, 0, bytesPerSample);
        break;
    }
    dst += bytesPerSample;
  };

  // Linear interpolation is plenty for short signal tones.
  const double step = double(tone.sampleRate) / outRate;
  for (qint64 i = 0; i < outFrames; ++i) {
    const double pos = i * step;
    const qint64 i0 = qint64(pos);
    const float frac = float(pos - double(i0));
    for (int c = 0; c < outChannels; ++c) {
      const float a = inSample(i0, c);
      put(frac == 0.0f ? a : a + (inSample(i0 + 1, c) - a) * frac);
    }
  }
  return out;
}

}  // namespace Sound
