// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

class QWidget;

namespace Commands {

// Where CenterForm puts a window, in twips: centred across the width and within the upper 85 % of the
// height, never at a negative position. x is the left edge, y the top edge.
QPoint CenteredPosition(double screenWidth, double screenHeight, double windowWidth, double windowHeight);

// Moves a window to CenteredPosition on its screen's available area; its size stays.
void CenterForm(QWidget* form);

// Keeps a window above all ordinary windows without moving or resizing it, then lets pending events run once.
void SetTopmost(QWidget* form);

// Brings a window to the front: restored when minimised, shown, raised and activated as far as the window
// manager allows.
void BringToFront(QWidget* form);

}  // namespace Commands
