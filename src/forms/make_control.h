// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QRect>
#include <QWidget>
#include <utility>

namespace Forms {

// A control as the design has it: under its design name, which tests find it by, at its designed place.
template <typename T, typename... Args>
T* MakeControl(QWidget* parent, const char* name, const QRect& geometry, Args&&... args) {
  auto* control = new T(std::forward<Args>(args)..., parent);
  control->setObjectName(QLatin1StringView(name));
  control->setGeometry(geometry);
  return control;
}

}  // namespace Forms
