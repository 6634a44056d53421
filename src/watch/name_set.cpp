// SPDX-License-Identifier: GPL-3.0-or-later
#include "name_set.h"

#include <QByteArrayView>
#include <QHashFunctions>
#include <algorithm>
#include <bit>

namespace Watch {
namespace {

// 0 marks an empty slot: the one hash that would be 0 shares its slot with 1.
quint64 Key(quint64 hash) { return hash ? hash : 1; }

std::size_t SlotsFor(std::size_t names) { return std::bit_ceil(std::max<std::size_t>(16, names + names / 3 + 1)); }

}  // namespace

quint64 NameHash(std::string_view name) {
  static_assert(sizeof(size_t) == 8, "the set keeps 64-bit hashes");
  return qHash(QByteArrayView(name.data(), qsizetype(name.size())), QHashSeed::globalSeed());
}

void NameSet::clear(std::size_t expected) {
  if (slots_.size() == SlotsFor(expected)) {
    std::fill(slots_.begin(), slots_.end(), 0);  // the same folder again: no fresh pages to fault in
  } else {
    std::vector<quint64>(SlotsFor(expected), 0).swap(slots_);  // gives back what a larger folder took
  }
  size_ = 0;
}

std::size_t NameSet::find(quint64 key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = key & mask;
  while (slots_[i] != 0 && slots_[i] != key) i = (i + 1) & mask;
  return i;
}

void NameSet::resize(std::size_t slotCount) {
  std::vector<quint64> old(slotCount, 0);
  old.swap(slots_);
  for (const quint64 key : old)
    if (key != 0) slots_[find(key)] = key;
}

bool NameSet::insert(quint64 hash) {
  if (slots_.empty()) resize(SlotsFor(0));
  if ((size_ + 1) * 4 > slots_.size() * 3) resize(slots_.size() * 2);
  const quint64 key = Key(hash);
  const std::size_t i = find(key);
  if (slots_[i] == key) return false;
  slots_[i] = key;
  ++size_;
  return true;
}

void NameSet::assign(std::vector<quint64>& hashes) {
  clear(hashes.size());
  const std::size_t mask = slots_.size() - 1;
  const int slotBits = std::countr_zero(slots_.size());
  const int regionBits = std::min(slotBits, 11);  // 2,048 regions: their fill points fit the cache
  const auto region = [&](quint64 key) { return std::size_t((key & mask) >> (slotBits - regionBits)); };
  std::vector<std::size_t> end(std::size_t(1) << regionBits, 0);
  for (quint64& hash : hashes) ++end[region(hash = Key(hash))];
  for (std::size_t r = 1; r < end.size(); ++r) end[r] += end[r - 1];
  std::vector<std::size_t> next(end.size(), 0);
  for (std::size_t r = 1; r < end.size(); ++r) next[r] = end[r - 1];
  // In place, as an American flag sort: each hash is swapped into its region's next place.
  for (std::size_t r = 0; r < end.size(); ++r) {
    while (next[r] < end[r]) {
      quint64 key = hashes[next[r]];
      for (std::size_t home = region(key); home != r; home = region(key)) std::swap(key, hashes[next[home]++]);
      hashes[next[r]++] = key;
    }
  }
  for (const quint64 key : hashes) {
    const std::size_t i = find(key);
    if (slots_[i] == key) continue;
    slots_[i] = key;
    ++size_;
  }
}

bool NameSet::contains(quint64 hash) const {
  if (slots_.empty()) return false;
  const quint64 key = Key(hash);
  return slots_[find(key)] == key;
}

bool NameSet::erase(quint64 hash) {
  if (slots_.empty()) return false;
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = find(Key(hash));
  if (slots_[hole] == 0) return false;
  slots_[hole] = 0;
  --size_;
  // Each later key of the run moves into the hole unless its home lies after the hole, up to where it sits.
  for (std::size_t i = (hole + 1) & mask; slots_[i] != 0; i = (i + 1) & mask) {
    const std::size_t home = slots_[i] & mask;
    const bool stays = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (stays) continue;
    slots_[hole] = slots_[i];
    slots_[i] = 0;
    hole = i;
  }
  return true;
}

}  // namespace Watch
