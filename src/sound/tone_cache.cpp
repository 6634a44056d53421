// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone_cache.h"

#include <algorithm>

namespace Sound {

std::shared_ptr<const Tone> ToneCache::get(const QString& path) {
  const std::optional<Platform::FileStamp> stamp = Platform::StampOf(path);
  {
    const QMutexLocker lock(&mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == path; });
    if (it != entries_.end()) {
      if (stamp && it->stamp == *stamp) {
        entries_.splice(entries_.begin(), entries_, it);
        return it->tone;
      }
      entries_.erase(it);
    }
    if (!stamp) return nullptr;
    ++decodes_;
  }
  Entry entry{path, *stamp, DecodeToneFile(path)};
  const QMutexLocker lock(&mutex_);
  entries_.push_front(std::move(entry));
  // Bounded in number and in memory; the tone just decoded always stays.
  auto samples = [this] {
    qint64 total = 0;
    for (const Entry& e : entries_) total += e.tone ? qint64(e.tone->samples.capacity()) : 0;  // what is held
    return total;
  };
  while (entries_.size() > 1 && (int(entries_.size()) > capacity_ || samples() > SampleBudget)) entries_.pop_back();
  return entries_.front().tone;
}

int ToneCache::decodeCount() const {
  const QMutexLocker lock(&mutex_);
  return decodes_;
}

}  // namespace Sound
