// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch/name_set.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_set>

namespace {

// Against a plain set, on hashes made to collide in their low bits so that long runs form, wrap around the end
// of the table and are cut by erases; 0 and 1 share a slot by design and are left out.
TEST(NameSet, BehavesAsAPlainSet) {
  std::mt19937_64 random(20261207);
  Watch::NameSet set;
  set.clear(0);
  std::unordered_set<quint64> plain;
  for (int step = 0; step < 200000; ++step) {
    const quint64 low = random() % 40;
    const quint64 hash = (random() % 3 == 0 ? ~quint64(0) - low : (random() % 64) << 32 | low) | 2;
    switch (random() % 4) {
      case 0:
        ASSERT_EQ(set.insert(hash), plain.insert(hash).second) << step;
        break;
      case 1:
        ASSERT_EQ(set.erase(hash), plain.erase(hash) == 1) << step;
        break;
      case 2: {  // made afresh from a listing's hashes, one of them twice, as a full count makes it
        if (random() % 500 != 0) break;
        plain.insert(hash);
        std::vector<quint64> listed(plain.begin(), plain.end());
        listed.push_back(hash);
        set.assign(listed);
        break;
      }
      default:
        ASSERT_EQ(set.contains(hash), plain.count(hash) == 1) << step;
    }
    ASSERT_EQ(set.size(), plain.size()) << step;
    if (step % 50000 == 49999) {
      for (const quint64 h : plain) ASSERT_TRUE(set.contains(h)) << step;
    }
  }
}

}  // namespace
