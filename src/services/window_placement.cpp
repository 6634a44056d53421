#include "window_placement.h"

#include "twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace Commands {

namespace {
// Round half to even, as the original's conversion to a 32-bit integer does.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }
}  // namespace

void CenterForm(QWidget* form) {
  if (!form) return;
  QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const double screenH = double(available.height()) * TwipsPerPixel;
  const double screenW = double(available.width()) * TwipsPerPixel;
  const QRect frame = form->frameGeometry();
  const double formH = double(frame.height()) * TwipsPerPixel;
  const double formW = double(frame.width()) * TwipsPerPixel;
  // Each half is truncated on its own.
  int top = RoundEven(screenH * 0.85) / 2 - RoundEven(formH) / 2;
  int left = RoundEven(screenW) / 2 - RoundEven(formW) / 2;
  if (top < 0) top = 0;
  if (left < 0) left = 0;
  form->move(available.left() + left / TwipsPerPixel, available.top() + top / TwipsPerPixel);
}

void SetTopmost(QWidget* form) {
  if (!form) return;
  const QRect place = form->geometry();
  const bool wasVisible = form->isVisible();
  // Changing the flags re-creates the native window, which hides it: put it back where it was.
  form->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  form->setGeometry(place);
  if (wasVisible) form->show();
  QCoreApplication::processEvents();
}

}  // namespace Commands
