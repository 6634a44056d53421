// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QFontInfo>
#include <QScreen>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QWindow>

#include "commands/twips.h"
#include "commands/window_placement.h"
#include "support/picker_fixture.h"

namespace {

using PickerWindow = PickerTest;
using PickerLoad = PickerTest;
using PickerClose = PickerTest;
using PickerNavigation = PickerTest;

TEST_F(PickerWindow, ControlsAsDesigned) {
  open(at("work"));
  EXPECT_EQ(picker->size(), QSize(349, 331));
  EXPECT_EQ(picker->minimumSize(), picker->maximumSize());

  struct Control {
    const char* name;
    QRect place;
    QString caption;
    bool visible, enabled;
  };
  const Control controls[] = {
      {"dummy", {504, 28, 13, 13}, QString(), true, true},
      {"Text1", {168, 218, 179, 21}, QStringLiteral("Neuer Ordner"), false, true},
      {"Command3", {168, 216, 181, 25}, QStringLiteral("N e u e r  O r d n e r"), true, true},
      {"Drive1", {0, 0, 165, 21}, QString(), true, true},
      {"Dir1", {0, 24, 165, 306}, QString(), true, true},
      {"File1", {168, 0, 181, 214}, QString(), true, false},
      {"Command1", {168, 288, 181, 41}, QStringLiteral("Ü B E R N E H M E N"), true, true},
      {"Command2", {168, 244, 181, 41}, QStringLiteral("A B B R E C H E N"), true, true},
  };
  for (const Control& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* widget = child<QWidget>(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), c.place);
    EXPECT_EQ(widget->isVisible(), c.visible);
    EXPECT_EQ(widget->isEnabled(), c.enabled);
    if (auto* push = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(push->text(), c.caption);
      EXPECT_FALSE(push->isDefault());
      EXPECT_FALSE(push->autoDefault());
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      EXPECT_EQ(line->text(), c.caption);
    }
  }
  // The focus sink lies outside the client area.
  EXPECT_FALSE(picker->rect().intersects(button("dummy")->geometry()));

  const QFont apply = button("Command1")->font();
  EXPECT_DOUBLE_EQ(apply.pointSizeF(), 11.25);
  EXPECT_EQ(apply.weight(), QFont::Bold);
  const QString face = QFontInfo(apply).family();
  EXPECT_TRUE(face == u"Arial" || face == u"Liberation Sans") << face;
}

TEST_F(PickerWindow, FixedToolWindowKeptOnTop) {
  open(at("work"));
  const Qt::WindowFlags flags = picker->windowFlags();
  EXPECT_EQ(picker->windowType(), Qt::Tool);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(picker->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_FALSE(picker->testAttribute(Qt::WA_QuitOnClose));
  EXPECT_TRUE(picker->isVisible());
  // Placed by CenterForm before it showed: its client area where CenteredPosition puts a window of that size.
  const QRect area = picker->screen()->availableGeometry();
  const QPoint twips = Commands::CenteredPosition(area.width() * 15.0, area.height() * 15.0, 349 * 15.0, 331 * 15.0);
  EXPECT_EQ(picker->pos(), area.topLeft() + QPoint(Px(twips.x()), Px(twips.y())));
}

TEST_F(PickerWindow, TabOrderPassesOverDisabledAndHiddenControls) {
  open(at("work"));
  // From the focus sink, where the picker opens with the focus.
  QStringList order{focused()};
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << focused();
  }
  EXPECT_EQ(order, (QStringList{"dummy", "Command2", "Command1", "Dir1", "Drive1", "Command3", "Command2"}));
  // The name entry open in the button's place takes the button's turn.
  QTest::mouseClick(button("Command3"), Qt::LeftButton);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(focused(), u"Command2");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(focused(), u"Text1");
}

TEST_F(PickerLoad, StartingFolder) {
  QDir::setCurrent(at("other"));
  struct Case {
    const char* name;
    QString handedIn;
    QString opens;
  };
  const Case cases[] = {
      {"folder with separator", at("work") + u'/', at("work")},
      {"folder without separator", at("work/alpha"), at("work/alpha")},
      {"root", QStringLiteral("/"), QStringLiteral("/")},
      {"empty: current folder", QString(), at("other")},
      {"missing: current folder", at("nowhere/"), at("other")},
      {"a file: current folder", at("work/notes.txt"), at("other")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.handedIn, QString::fromLatin1(c.name));
    EXPECT_EQ(picker->windowTitle(), QString::fromLatin1(c.name));
    // Whether the folder is there is asked off the window's thread; one that is not gives way when it answers.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dir()->path() == c.opens; }));
    EXPECT_EQ(dir()->path(), c.opens);
    EXPECT_EQ(files()->path(), c.opens);
    EXPECT_EQ(drives()->drive(), QStorageInfo(c.opens).rootPath());
    EXPECT_EQ(focused(), u"dummy");
    EXPECT_FALSE(entry()->isVisible());
    EXPECT_TRUE(button("Command3")->isVisible());
    // Nothing visible holds the focus, so Enter and space do nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(picker);
    EXPECT_TRUE(state.PickerOpen);
    EXPECT_EQ(state.PickerPath, c.handedIn);
    picker->close();
    settle();
  }
}

TEST_F(PickerLoad, EmptyCaptionGivesEmptyTitle) {
  open(at("work"), QString());
  EXPECT_TRUE(picker->windowTitle().isEmpty());
}

TEST_F(PickerLoad, FileListShowsTheFolderGreyed) {
  open(at("work"));
  EXPECT_EQ(fileNames(), (QStringList{"b.wav", "notes.txt"}));
  EXPECT_FALSE(files()->isEnabled());
}

TEST_F(PickerClose, EveryWayOfClosing) {
  enum class How { Apply, Cancel, CloseBox };
  struct Case {
    const char* name;
    QString handedIn;
    QString walkTo;  // empty: stay
    How how;
    QString handedBack;
  };
  const Case cases[] = {
      {"apply at a folder", at("work"), at("work/alpha"), How::Apply, at("work/alpha") + u'/'},
      {"apply where it opened", at("work") + u'/', QString(), How::Apply, at("work") + u'/'},
      {"apply at the root", at("work"), QStringLiteral("/"), How::Apply, QStringLiteral("/")},
      {"cancel after walking", at("work"), at("work/alpha"), How::Cancel, at("work")},
      {"cancel with an empty folder", QString(), at("work"), How::Cancel, QString()},
      {"cancel with a missing folder", at("gone/"), at("work"), How::Cancel, at("gone/")},
      {"close box after walking", at("work") + u'/', at("work/Beta"), How::CloseBox, at("work") + u'/'},
      {"close box with an empty folder", QString(), at("other"), How::CloseBox, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.handedIn);
    QSignalSpy closed(picker.data(), &frmDirSelect::closed);
    if (!c.walkTo.isEmpty()) {
      // Up to the root by double-click, then straight to the goal: its ancestors may be hidden folders.
      doubleClick(QStringLiteral("/"));
      ASSERT_EQ(dir()->path(), u"/");
      ASSERT_TRUE(dir()->setPath(c.walkTo));
    }
    switch (c.how) {
      case How::Apply:
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        break;
      case How::Cancel:
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        break;
      case How::CloseBox:
        picker->windowHandle()->close();
        break;
    }
    settle();
    EXPECT_TRUE(picker.isNull());
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.first().first().toString(), c.how == How::Apply ? c.handedBack : QString());
    EXPECT_FALSE(state.PickerOpen);
    EXPECT_EQ(state.PickerPath, c.handedBack);
  }
}

TEST_F(PickerClose, KeyboardPressesButtonsAndEscapeCancels) {
  struct Case {
    const char* focus;  // "Text1" opens the name entry first
    Qt::Key key;
    bool closes;
    QString handedBack;
    bool entryOpen;
  };
  const QString applied = at("work/alpha") + u'/';
  const Case cases[] = {
      {"Command1", Qt::Key_Return, true, applied, false},    {"Command1", Qt::Key_Enter, true, applied, false},
      {"Command1", Qt::Key_Space, true, applied, false},     {"Command2", Qt::Key_Return, true, at("work"), false},
      {"Command3", Qt::Key_Return, false, at("work"), true}, {"Dir1", Qt::Key_Escape, true, at("work"), false},
      {"Drive1", Qt::Key_Escape, true, at("work"), false},   {"dummy", Qt::Key_Escape, true, at("work"), false},
      {"Command1", Qt::Key_Escape, true, at("work"), false}, {"Text1", Qt::Key_Escape, false, at("work"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.focus) + " " + QKeySequence(c.key).toString().toStdString());
    open(at("work"));
    ASSERT_TRUE(dir()->setPath(at("work/alpha")));
    if (QByteArray(c.focus) == "Text1") QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QWidget* target = child<QWidget>(c.focus);
    target->setFocus();
    QTest::keyClick(target, c.key);
    settle();
    EXPECT_EQ(picker.isNull(), c.closes);
    EXPECT_EQ(state.PickerOpen, !c.closes);
    EXPECT_EQ(state.PickerPath, c.handedBack);
    if (picker) {
      EXPECT_EQ(entry()->isVisible(), c.entryOpen);
      picker->close();
      settle();
    }
  }
}

TEST_F(PickerClose, EachOpeningStartsAfresh) {
  open(at("work"));
  doubleClick(at("work/alpha"));
  QTest::mouseClick(button("Command3"), Qt::LeftButton);
  QTest::mouseClick(button("Command2"), Qt::LeftButton);
  settle();
  open(at("work"));
  EXPECT_EQ(dir()->path(), at("work"));
  EXPECT_FALSE(entry()->isVisible());
}

TEST_F(PickerNavigation, DoubleClickOpensSingleClickHighlights) {
  open(at("work"));
  QSignalSpy changes(dir(), &Controls::DirListBox::changed);

  click(at("work/alpha"));
  EXPECT_EQ(dir()->path(), at("work"));
  EXPECT_EQ(dir()->entryPath(dir()->currentRow()), at("work/alpha"));
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(fileNames(), (QStringList{"b.wav", "notes.txt"}));

  doubleClick(at("work/alpha"));
  EXPECT_EQ(dir()->path(), at("work/alpha"));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(files()->path(), at("work/alpha"));
  EXPECT_EQ(fileNames(), QStringList{"inside.txt"});
  EXPECT_EQ(focused(), u"dummy");

  // Enter opens the highlighted entry: here the parent.
  dir()->setFocus();
  dir()->setCurrentRow(rowOf(at("work")));
  QTest::keyClick(dir(), Qt::Key_Return);
  EXPECT_EQ(dir()->path(), at("work"));
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(files()->path(), at("work"));
  EXPECT_EQ(focused(), u"dummy");
}

TEST_F(PickerNavigation, DriveChangeMovesBothLists) {
  const QString stick = at("work");
  const QString card = at("other");
  open(at("work/alpha"));
  drives()->setVolumes(
      {{QStringLiteral("/"), QString()}, {card, QStringLiteral("CARD")}, {stick, QStringLiteral("STICK")}});
  // Setting the volumes re-selects quietly; the list follows the folder shown when it next changes.
  doubleClick(at("work/alpha/inner"));
  EXPECT_EQ(drives()->drive(), stick);

  drives()->setCurrentIndex(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dir()->path() == card; }));
  EXPECT_EQ(files()->path(), card);
  EXPECT_EQ(focused(), u"dummy");

  // Back to the first volume: the folder last opened on it, not its root.
  drives()->setCurrentIndex(2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dir()->path() == at("work/alpha/inner"); }));
  EXPECT_EQ(files()->path(), at("work/alpha/inner"));

  // The system volume: its root or the folder last opened on it.
  drives()->setCurrentIndex(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dir()->path().startsWith(tree.path()); }));
  EXPECT_EQ(drives()->drive(), u"/");
  EXPECT_TRUE(dir()->path() == u"/" || !dir()->path().startsWith(tree.path())) << dir()->path();
  EXPECT_TRUE(shown.isEmpty());
}

TEST_F(PickerNavigation, UnreadableDriveGoesBack) {
  open(at("work"));
  const QString gone = at("unplugged");
  drives()->setVolumes({{QStringLiteral("/"), QString()}, {gone, QStringLiteral("USB")}});
  drives()->setDriveSilently(dir()->path());
  const QString before = drives()->drive();
  QSignalSpy moves(dir(), &Controls::DirListBox::changed);

  drives()->setCurrentIndex(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }));
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.first().icon, QMessageBox::Critical);
  EXPECT_TRUE(shown.first().text.contains(gone)) << shown.first().text;
  EXPECT_EQ(shown.first().title, u"Divuvadi Foldwarn");
  EXPECT_EQ(drives()->drive(), before);
  EXPECT_EQ(dir()->path(), at("work"));
  EXPECT_EQ(moves.count(), 0);
}

TEST_F(PickerNavigation, WalkingIntoAnotherVolumeMovesTheDriveList) {
  open(at("work"));
  drives()->setVolumes({{QStringLiteral("/"), QString()}, {at("work/alpha"), QStringLiteral("MOUNT")}});
  QSignalSpy driveChanges(drives(), &Controls::DriveListBox::changed);
  doubleClick(at("work/alpha"));
  EXPECT_EQ(drives()->drive(), at("work/alpha"));
  doubleClick(at("work"));
  EXPECT_EQ(drives()->drive(), u"/");
  // Following the folder is quiet: it must not move the folder list again.
  EXPECT_EQ(driveChanges.count(), 0);
  EXPECT_EQ(dir()->path(), at("work"));
}

}  // namespace
