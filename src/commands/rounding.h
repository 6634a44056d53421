// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <limits>
#include <optional>

namespace Commands {

// The nearest Int, halves to the even neighbour (the classic rounding); nothing for NaN or out of range.
template <typename Int>
std::optional<Int> RoundHalfEven(double value) {
  if (std::isnan(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);
  if (rounded < double(std::numeric_limits<Int>::min()) || rounded > double(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(rounded);
}

}  // namespace Commands
