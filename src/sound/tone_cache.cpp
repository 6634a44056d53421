// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone_cache.h"

#include <algorithm>

namespace Sound {

std::shared_ptr<const Tone> ToneCache::get(const QString& path) {
  const std::optional<Platform::FileStamp> stamp = Platform::StampOf(path);
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == path; });
  if (!stamp) {
    if (it != entries_.end()) entries_.erase(it);
    return nullptr;
  }
  if (it != entries_.end()) {
    if (it->stamp == *stamp) {
      entries_.splice(entries_.begin(), entries_, it);
      return it->tone;
    }
    entries_.erase(it);
  }
  ++decodes_;
  entries_.push_front(Entry{path, *stamp, DecodeToneFile(path)});
  // Bounded in number and in memory; the tone just decoded always stays.
  auto samples = [this] {
    qint64 total = 0;
    for (const Entry& e : entries_) total += e.tone ? qint64(e.tone->samples.capacity()) : 0;  // what is held
    return total;
  };
  while (entries_.size() > 1 && (int(entries_.size()) > capacity_ || samples() > SampleBudget)) entries_.pop_back();
  return entries_.front().tone;
}

}  // namespace Sound
