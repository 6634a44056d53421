// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "support/picker_fixture.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

// One control as a screen reader meets it. An empty value or label is not checked.
struct Expected {
  const char* object;
  QAccessible::Role role;
  QString name;
  QString value;
  QString label;  // the name of what labels it
};

void ExpectControls(QWidget* window, const QList<Expected>& controls) {
  for (const Expected& c : controls) {
    SCOPED_TRACE(c.object);
    auto* widget = window->findChild<QWidget*>(QLatin1StringView(c.object));
    ASSERT_NE(widget, nullptr);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), c.role);
    EXPECT_EQ(iface->text(QAccessible::Name), c.name);
    if (!c.value.isEmpty()) {
      EXPECT_EQ(iface->text(QAccessible::Value), c.value);
    }
    if (!c.label.isEmpty()) {
      const auto labels = iface->relations(QAccessible::Label);
      ASSERT_FALSE(labels.isEmpty());
      EXPECT_EQ(labels.first().first->text(QAccessible::Name), c.label);
    }
    // A control that does something says what.
    if (iface->state().focusable) {
      EXPECT_FALSE(iface->text(QAccessible::Description).isEmpty());
    }
  }
}

// The whole tree as assistive technology walks it: whatever shows and takes the focus has a name, no name is
// spelt letter by letter, and the focus sink never shows.
void ExpectTreeNamed(QAccessibleInterface* iface, const QWidget* sink) {
  const QAccessible::State state = iface->state();
  const QString name = iface->text(QAccessible::Name);
  if (iface->object() == sink) {
    EXPECT_TRUE(state.invisible);
    EXPECT_FALSE(state.focusable);
    EXPECT_TRUE(name.isEmpty());
  }
  if (!state.invisible && state.focusable) {
    EXPECT_FALSE(name.isEmpty()) << iface->text(QAccessible::Description);
  }
  EXPECT_FALSE(name.contains(QRegularExpression(u"^(\\S ){3}"_s))) << name;
  for (int i = 0; i < iface->childCount(); ++i) ExpectTreeNamed(iface->child(i), sink);
}

class MainWindowAccess : public ::testing::Test {
 protected:
  Form1 form;
};

TEST_F(MainWindowAccess, EveryControlNamedFromWhatTheWindowShows) {
  form.Text1->setText(u"/srv/eingang/"_s);
  form.HScroll1->setValue(30);
  const QString caption = u"Folgender Pfad wird alle 30 Sekunden auf neue Dateien überprüft:"_s;
  ExpectControls(&form, {
                            {"Text1", QAccessible::EditableText, caption, u"/srv/eingang/"_s, caption},
                            {"Command1", QAccessible::Button, u"Durchsuchen"_s, {}, {}},
                            {"HScroll1", QAccessible::ScrollBar, u"Intervall in Sekunden"_s, u"30"_s, {}},
                            {"File2", QAccessible::List, u"Signalton 'Neue Datei'"_s, {}, {}},
                            {"File3", QAccessible::List, u"Signalton 'Datei entfernt'"_s, {}, {}},
                        });
  form.show();
  ExpectTreeNamed(QAccessible::queryAccessibleInterface(&form), form.dummy);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(form.File1)->state().invisible);
}

using PickerAccess = PickerTest;

TEST_F(PickerAccess, EveryControlNamedByItsWords) {
  open(at("work"));
  QWidget* window = picker;
  const QString drive = drives()->currentText();
  ExpectControls(window, {
                             {"Command1", QAccessible::Button, u"Übernehmen"_s, {}, {}},
                             {"Command2", QAccessible::Button, u"Abbrechen"_s, {}, {}},
                             {"Command3", QAccessible::Button, u"Neuer Ordner"_s, {}, {}},
                             {"Text1", QAccessible::EditableText, u"Name des neuen Ordners"_s, u"Neuer Ordner"_s, {}},
                             // On Linux Qt reads a combo box by its entry and names it by its label.
                             {"Drive1", QAccessible::ComboBox, drive, drive, u"Laufwerk"_s},
                             {"Dir1", QAccessible::List, u"Ordner"_s, {}, {}},
                             {"File1", QAccessible::List, u"Dateien im Ordner"_s, {}, {}},
                         });
  ExpectTreeNamed(QAccessible::queryAccessibleInterface(window), button("dummy"));
  // The same with the name entry open in the button's place.
  QTest::mouseClick(button("Command3"), Qt::LeftButton);
  ExpectTreeNamed(QAccessible::queryAccessibleInterface(window), button("dummy"));
}

}  // namespace
