// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>

namespace Forms {

namespace {

constexpr char ParkedProperty[] = "foldwarnFocusSink";

// The focus sink as assistive technology sees it: out of sight, not focusable, nothing to do with it.
class ParkedAccessible : public QAccessibleWidget {
 public:
  explicit ParkedAccessible(QWidget* sink) : QAccessibleWidget(sink, QAccessible::Client) {}
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = true;
    state.offscreen = true;
    return state;
  }
  QString text(QAccessible::Text) const override { return {}; }
  QStringList actionNames() const override { return {}; }
};

QAccessibleInterface* ParkedFactory(const QString& /*className*/, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget && widget->property(ParkedProperty).toBool()) return new ParkedAccessible(widget);
  return nullptr;
}

class EnterPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!enter || modifiers != Qt::NoModifier || !button || !button->isEnabled()) return false;
    button->click();
    return true;
  }
};

}  // namespace

void ParkFocusOutOfSight(QWidget* sink) {
  // The interface is cached on first query: mark the widget before anyone asks for it.
  static const bool installed = [] {
    QAccessible::installFactory(ParkedFactory);
    return true;
  }();
  Q_UNUSED(installed);
  sink->setProperty(ParkedProperty, true);
  sink->setFocusPolicy(Qt::NoFocus);
}

void PressOnEnter(QAbstractButton* button) { button->installEventFilter(new EnterPresses(button)); }

}  // namespace Forms
