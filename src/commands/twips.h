// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// The design is laid out in twips; 15 twips are one logical pixel.
constexpr int TwipsPerPixel = 15;

constexpr int Px(int twips) { return twips / TwipsPerPixel; }

constexpr QRect TwipRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}
