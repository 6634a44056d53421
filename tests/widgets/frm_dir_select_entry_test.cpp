// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputMethodEvent>

#include "support/picker_fixture.h"
#include "support/unprivileged.h"

namespace {

const QString Exists = QStringLiteral("Ein Ordner mit diesem Namen existiert bereits.");
const QString Failed =
    QStringLiteral("Der Ordner konnte nicht angelegt werden. \r\nDatenträger ist möglicherweise schreibgeschützt.  ");

class NewFolderEntry : public PickerTest {
 protected:
  bool isOpen() const { return entry()->isVisible() && !button("Command3")->isVisible(); }
  bool isClosed() const { return !entry()->isVisible() && button("Command3")->isVisible(); }
  void openEntry() { QTest::mouseClick(button("Command3"), Qt::LeftButton); }
  // Enter, then the disk's answer, which comes off the window's thread: a message or the move into the folder.
  void pressEnter() {
    const qsizetype before = shown.size();
    QTest::keyClick(entry(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.size() > before || isClosed(); }));
  }
  void enter(const QString& pasted) {
    openEntry();
    entry()->setText(pasted);
    pressEnter();
  }
};

TEST_F(NewFolderEntry, StateTable) {
  open(at("work"));
  const QStringList before = entriesOf(at("work"));

  SCOPED_TRACE("open");
  openEntry();
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(entry()->text(), u"Neuer Ordner");
  EXPECT_EQ(entry()->selectedText(), u"Neuer Ordner");
  EXPECT_EQ(focused(), u"Text1");
  QTest::keyClicks(entry(), QStringLiteral("Ab"));
  EXPECT_EQ(entry()->text(), u"Ab");  // the first letter replaced the proposal

  SCOPED_TRACE("escape");
  QTest::keyClick(entry(), Qt::Key_Escape);
  EXPECT_TRUE(isClosed());
  EXPECT_EQ(focused(), u"dummy");
  EXPECT_EQ(entriesOf(at("work")), before);

  SCOPED_TRACE("enter on an existing folder");
  openEntry();
  QTest::keyClicks(entry(), QStringLiteral("alpha"));
  pressEnter();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.last().text, Exists);
  EXPECT_EQ(shown.last().icon, QMessageBox::Information);
  EXPECT_EQ(shown.last().title, u"Divuvadi Foldwarn");
  EXPECT_EQ(shown.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_TRUE(isOpen());
  EXPECT_FALSE(entry()->hasSelectedText());
  EXPECT_EQ(entry()->cursorPosition(), 5);
  EXPECT_EQ(focused(), u"Text1");

  SCOPED_TRACE("enter where creation fails");
  entry()->setText(QStringLiteral("notes.txt"));
  entry()->setSelection(0, 5);
  pressEnter();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown.last().text, Failed);
  EXPECT_EQ(shown.last().icon, QMessageBox::Critical);
  EXPECT_EQ(shown.last().title, u"Divuvadi Foldwarn");
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(entry()->text(), u"notes.txt");
  EXPECT_EQ(entry()->selectedText(), u"notes");
  EXPECT_EQ(focused(), u"Text1");
  EXPECT_TRUE(QFileInfo(at("work/notes.txt")).isFile());

  SCOPED_TRACE("enter on a new name");
  entry()->selectAll();
  QTest::keyClicks(entry(), QStringLiteral("Neu 1"));
  pressEnter();
  EXPECT_EQ(shown.size(), 2);
  EXPECT_TRUE(QFileInfo(at("work/Neu 1")).isDir());
  EXPECT_EQ(dir()->path(), at("work/Neu 1"));
  EXPECT_EQ(files()->path(), at("work/Neu 1"));
  EXPECT_EQ(files()->listCount(), 0);
  EXPECT_TRUE(isClosed());
  EXPECT_EQ(focused(), u"Command1");

  SCOPED_TRACE("folder change while open");
  openEntry();
  QTest::keyClicks(entry(), QStringLiteral("nie"));
  doubleClick(at("work"));
  EXPECT_TRUE(isClosed());
  EXPECT_EQ(focused(), u"dummy");
  EXPECT_FALSE(QFileInfo::exists(at("work/nie")));
  QStringList expected = before + QStringList{QStringLiteral("Neu 1")};
  QStringList after = entriesOf(at("work"));
  expected.sort();
  after.sort();
  EXPECT_EQ(after, expected);
}

TEST_F(NewFolderEntry, AppliesTheNewFolder) {
  open(at("work"));
  enter(QStringLiteral("Ablage"));
  ASSERT_EQ(focused(), u"Command1");
  QTest::keyClick(button("Command1"), Qt::Key_Space);
  settle();
  EXPECT_EQ(state.PickerPath, at("work/Ablage") + u'/');
  EXPECT_FALSE(state.PickerOpen);
}

TEST_F(NewFolderEntry, RefusedKeysNeverReachTheEntry) {
  open(at("work"));
  openEntry();
  QTest::keyClicks(entry(), QStringLiteral("a.b/c\\d:e*f?g "));
  QTest::sendKeyEvent(QTest::Click, entry(), Qt::Key_Udiaeresis, QStringLiteral("ü"), Qt::NoModifier);
  QTest::keyClicks(entry(), QStringLiteral("-1"));
  EXPECT_EQ(entry()->text(),
            u"abcde"
            u"f?g ü-1");

  // Cut is refused, copy and paste pass.
  entry()->selectAll();
  QTest::keyClick(entry(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(entry()->text(), u"abcdef?g ü-1");
  QTest::keyClick(entry(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), u"abcdef?g ü-1");
  QGuiApplication::clipboard()->setText(QStringLiteral("x/y"));
  QTest::keyClick(entry(), Qt::Key_End);
  QTest::keyClick(entry(), Qt::Key_V, Qt::ControlModifier);
  // Pasted text is screened like typed text.
  EXPECT_EQ(entry()->text(), u"abcdef?g ü-1xy");
  QTest::keyClick(entry(), Qt::Key_Backspace);
  EXPECT_EQ(entry()->text(), u"abcdef?g ü-1x");
}

// Text that comes by paste or input method never brings control characters or refused ones into a name.
TEST_F(NewFolderEntry, PastedAndComposedTextIsScreened) {
  open(at("work"));
  openEntry();
  entry()->clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("a\tb\nc\x1b[31md\re\x7f\u0085f"));
  QTest::keyClick(entry(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(entry()->text(), u"abc31mdef");
  QTest::keyClick(entry(), Qt::Key_Home);
  QInputMethodEvent composed;
  composed.setCommitString(QStringLiteral("g\nh:"));
  QCoreApplication::sendEvent(entry(), &composed);
  EXPECT_EQ(entry()->text(), u"ghabc31mdef");
  EXPECT_EQ(entry()->cursorPosition(), 2);
  pressEnter();
  EXPECT_TRUE(QFileInfo(at("work/ghabc31mdef")).isDir());
  EXPECT_TRUE(shown.isEmpty());
}

// Two Enters in quick succession make one folder and no false "exists" message.
TEST_F(NewFolderEntry, QuickSecondEnterMakesNoSecondCreation) {
  open(at("work"));
  openEntry();
  entry()->setText(QStringLiteral("doppelt"));
  // The second Enter comes before the disk has answered the first.
  QTest::keyClick(entry(), Qt::Key_Return);
  pressEnter();
  EXPECT_TRUE(QFileInfo(at("work/doppelt")).isDir());
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_EQ(dir()->path(), at("work/doppelt"));
}

TEST_F(NewFolderEntry, BadNamesGetAClearAnswer) {
  struct Case {
    const char* name;
    QString text;
    QString message;  // empty: the folder is created
    QString opened;   // folder the list shows afterwards, relative to the row's folder
    QStringList inside = {QStringLiteral("file.txt")};  // what the row's folder holds after a refusal
    bool openedGone = false;                            // the opened folder and the one above are deleted before Enter
  };
  const Case cases[] = {
      // Only the last level is made, inside the opened folder as it is now.
      {"nested name", QStringLiteral("x/y/z"), Failed, QString()},
      {"trailing separator", QStringLiteral("neu/"), QString(), QStringLiteral("neu")},
      {"empty name", QString(), Exists, QString()},
      {"dot", QStringLiteral("."), Exists, QString()},
      {"dot dot", QStringLiteral(".."), Exists, QString()},
      {"climbing out", QStringLiteral("../draussen"), Failed, QString()},
      {"climbing out and back", QStringLiteral("a/../../draussen"), Failed, QString()},
      {"absolute name", QStringLiteral("/draussen"), Failed, QString()},
      {"name of a file", QStringLiteral("file.txt"), Failed, QString()},
      {"300 characters", QString(300, u'n'), Failed, QString()},
      {"nul character", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), Failed, QString()},
      {"opened folder deleted", QStringLiteral("Neu1"), Failed, QString(), {}, true},
  };
  int rowNumber = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString parent = at(QStringLiteral("rows/%1").arg(rowNumber++));
    const QString row = parent + QStringLiteral("/here");
    ASSERT_TRUE(QDir().mkpath(row));
    QFile file(row + QStringLiteral("/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    shown.clear();

    open(row);
    if (c.openedGone) ASSERT_TRUE(QDir(parent).removeRecursively());
    enter(c.text);
    if (c.message.isEmpty()) {
      EXPECT_TRUE(shown.isEmpty());
      EXPECT_EQ(dir()->path(), row + u'/' + c.opened);
      EXPECT_TRUE(QFileInfo(row + u'/' + c.opened).isDir());
      EXPECT_TRUE(isClosed());
    } else {
      ASSERT_EQ(shown.size(), 1);
      EXPECT_EQ(shown.first().text, c.message);
      EXPECT_EQ(dir()->path(), row);
      EXPECT_TRUE(isOpen());
      EXPECT_EQ(entry()->text(), c.text);
      EXPECT_EQ(entriesOf(row), c.inside);
    }
    // Nothing ever lands beside the opened folder, nor brings a deleted one back.
    EXPECT_EQ(entriesOf(parent), c.openedGone ? QStringList() : QStringList{"here"});
    EXPECT_EQ(QFileInfo::exists(parent), !c.openedGone);
    picker->close();
    settle();
  }
}

TEST_F(NewFolderEntry, ParentWithoutWritePermission) {
  const QString locked = at("locked");
  ASSERT_TRUE(QDir().mkpath(locked));
  const auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                            QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
  ASSERT_TRUE(QFile::setPermissions(tree.path(), readAndEnter | QFileDevice::WriteOwner));
  ASSERT_TRUE(QFile::setPermissions(locked, readAndEnter));
  open(locked);
  {
    ScopedUnprivileged unprivileged;
    if (!unprivileged.active()) GTEST_SKIP() << "running as root and cannot act as another user";
    enter(QStringLiteral("neu"));
    QDir::setCurrent(QStringLiteral("/"));
  }
  QFile::setPermissions(locked, readAndEnter | QFileDevice::WriteOwner);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.first().text, Failed);
  EXPECT_EQ(shown.first().icon, QMessageBox::Critical);
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(entry()->text(), u"neu");
  EXPECT_FALSE(QFileInfo::exists(locked + QStringLiteral("/neu")));
}

}  // namespace
