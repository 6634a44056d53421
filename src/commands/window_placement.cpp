// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_placement.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

#include "commands/rounding.h"
#include "commands/twips.h"

namespace Commands {
namespace {

// Out of range saturates; NaN gives 0.
qint32 Round32(double value) {
  if (std::isnan(value)) return 0;
  return RoundHalfEven<qint32>(value).value_or(value < 0 ? std::numeric_limits<qint32>::min()
                                                         : std::numeric_limits<qint32>::max());
}

}  // namespace

QPoint CenteredPosition(double screenWidth, double screenHeight, double windowWidth, double windowHeight) {
  // Each half is truncated on its own; 64-bit so that the difference of two saturated halves cannot overflow.
  const qint64 top = qint64(Round32(screenHeight * 0.85) / 2) - qint64(Round32(windowHeight) / 2);
  const qint64 left = qint64(Round32(screenWidth) / 2) - qint64(Round32(windowWidth) / 2);
  const auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, 0, std::numeric_limits<int>::max())); };
  return QPoint(clamp(left), clamp(top));
}

void CenterForm(QWidget* form) {
  if (!form) return;
  const QScreen* screen = form->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // The frame counts once the window manager has given one; before the first showing it is the client area.
  const QSize size = form->frameGeometry().size();
  const QPoint twips = CenteredPosition(double(area.width()) * TwipsPerPixel, double(area.height()) * TwipsPerPixel,
                                        double(size.width()) * TwipsPerPixel, double(size.height()) * TwipsPerPixel);
  form->move(area.topLeft() + QPoint(Px(twips.x()), Px(twips.y())));
}

void SetTopmost(QWidget* form) {
  if (!form) return;
  const Qt::WindowFlags flags = form->windowFlags() | Qt::WindowStaysOnTopHint;
  if (QWindow* window = form->windowHandle()) {
    // The native window exists: tell it directly. QWidget::setWindowFlags would re-create and hide it, which
    // is no good from inside a load handler that runs while the window is being shown.
    form->overrideWindowFlags(flags);
    window->setFlags(flags);
  } else {
    form->setWindowFlags(flags);
  }
  QCoreApplication::processEvents();
}

void BringToFront(QWidget* form) {
  if (!form) return;
  form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
  form->show();
  form->raise();
  form->activateWindow();
}

}  // namespace Commands
