// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <cstddef>
#include <string_view>
#include <vector>

namespace Watch {

// 64-bit hash of a file name, seeded afresh in each run.
quint64 NameHash(std::string_view name);

// The names a count found, kept as their hashes: 8 bytes a slot, at most 4 slots in 3 used, so 1,000,000 names
// take 16 MB. Open addressing with linear probing; an erase shifts the run after it back, leaving no tombstones.
class NameSet {
 public:
  // Empties the set and makes room for about `expected` names.
  void clear(std::size_t expected);
  // False when the hash was there already.
  bool insert(quint64 hash);
  // Holds these hashes and no others, sized for them once. Reorders them: they go in by the region of the table
  // they land in, so that a large set is filled one cached region after another.
  void assign(std::vector<quint64>& hashes);
  // False when the hash was not there.
  bool erase(quint64 hash);
  bool contains(quint64 hash) const;
  std::size_t size() const { return size_; }
  std::size_t bytes() const { return slots_.capacity() * sizeof(quint64); }

 private:
  std::size_t find(quint64 key) const;  // the key's slot, or the empty slot where it would go
  void resize(std::size_t slotCount);

  std::vector<quint64> slots_;  // 0: empty
  std::size_t size_ = 0;
};

}  // namespace Watch
