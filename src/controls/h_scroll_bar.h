// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>

namespace Controls {

// A horizontal scroll bar whose keys move the value the way the bar shows it: Left and Up towards the
// minimum at the left, Right and Down towards the maximum, PgUp/PgDn by a large step, Home/End to the ends.
// Qt's scroll bar inverts its keys (Left raises), which reads backwards on a bar whose minimum is at the
// left. Qt's bar shows no focus; this one is framed in the selection colour while focused, as a text box is.
class HScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit HScrollBar(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace Controls
