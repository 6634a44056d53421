// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "support/qt_printers.h"

namespace {

class ShowMessage : public ::testing::Test {
 protected:
  QList<Messages::Request> shown;
  const Messages::Opener record = [this](const Messages::Request& request, const Messages::Answered& answered) {
    shown.append(request);
    answered(QMessageBox::Ok);
  };
};

TEST_F(ShowMessage, StyleAndTitle) {
  struct Case {
    const char* name;
    qint16 style;
    QString title;
    QMessageBox::Icon icon;
    QString shownTitle;
  };
  const Case cases[] = {
      {"information, empty title", 1, QString(), QMessageBox::Information, QStringLiteral("Divuvadi Foldwarn")},
      {"error, empty title", 3, QString(), QMessageBox::Critical, QStringLiteral("Divuvadi Foldwarn")},
      {"error, own title", 3, QStringLiteral("Achtung"), QMessageBox::Critical, QStringLiteral("Achtung")},
      {"blank title is a title", 1, QStringLiteral(" "), QMessageBox::Information, QStringLiteral(" ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown.clear();
    Commands::ShowMessage(record, QStringLiteral("Text\r\nZeile 2"), c.style, c.title);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, u"Text\r\nZeile 2");
    EXPECT_EQ(shown.first().icon, c.icon);
    EXPECT_EQ(shown.first().title, c.shownTitle);
    EXPECT_EQ(shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }
}

// The program's own opener shows the real box; what follows it waits for its OK.
TEST(ShowMessageBox, RealBoxHasOnlyOk) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title, text;
  QList<QAbstractButton*> buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    title = box->windowTitle();
    text = box->text();
    buttons = box->buttons();
    box->button(QMessageBox::Ok)->click();
  });
  bool closed = false;
  Commands::ShowMessage(Messages::Open, QStringLiteral("Der Ordner konnte nicht angelegt werden. \r\nZweite Zeile <b>"),
                        3, QString(), [&] { closed = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(title, u"Divuvadi Foldwarn");
  EXPECT_EQ(buttons.size(), 1);
  EXPECT_EQ(text, u"Der Ordner konnte nicht angelegt werden. \nZweite Zeile <b>");
}

}  // namespace
