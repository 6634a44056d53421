// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone.h"

#include <sndfile.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "platform/paths.h"

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
    const qint64 maxFrames = MaxToneSamples / info.channels;
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
    // NaN would pass any clamp and play as full-scale noise; an infinity is no sound either.
    for (float& sample : samples)
      if (!std::isfinite(sample)) sample = 0;
    return frames > 0 ? tone : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::shared_ptr<const Tone> DecodeToneFile(const QString& path) {
  QFile file(path);
  // Qt's resources by their name, files by their name's bytes.
  const bool opened = path.startsWith(u':') ? file.open(QIODevice::ReadOnly) : Platform::OpenForReading(path, file);
  return opened ? DecodeTone(file) : nullptr;
}

}  // namespace Sound
