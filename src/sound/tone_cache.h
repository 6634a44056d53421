// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QString>
#include <list>
#include <memory>

#include "platform/paths.h"
#include "tone.h"

namespace Sound {

// The tones played lately, decoded once. An entry holds while the file keeps its size and times, so the
// next play of the same tone costs one stat and no decoding. Jobs of several files use it at once; a file that
// hangs holds up only its own job.
class ToneCache {
 public:
  explicit ToneCache(int capacity = 8) : capacity_(capacity) {}

  // The decoded tone of the file, or nothing when the file is missing or is no sound we can decode.
  std::shared_ptr<const Tone> get(const QString& path);

  int decodeCount() const;

 private:
  static constexpr qint64 SampleBudget = 2 * MaxToneSamples;  // 128 MB of decoded sound at most

  struct Entry {
    QString path;
    Platform::FileStamp stamp;
    std::shared_ptr<const Tone> tone;  // empty for a file that did not decode: not retried until it changes
  };
  mutable QMutex mutex_;  // never held while the disk is read
  int capacity_;
  int decodes_ = 0;
  std::list<Entry> entries_;  // most recently used first
};

}  // namespace Sound
