// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "commands/message_box.h"
#include "commands/private_profile.h"
#include "controls/dir_list_box.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "forms/frm_dir_select.h"
#include "sound/sound.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "support/watch_wait.h"

namespace {

QList<frmDirSelect*> OpenPickers() {
  QList<frmDirSelect*> pickers;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* picker = qobject_cast<frmDirSelect*>(widget); picker && picker->isVisible()) pickers << picker;
  return pickers;
}

// The main window's "Durchsuchen" with the picker driven as a user would, the press long returned.
class Browse : public ::testing::Test {
 protected:
  QTemporaryDir tree;
  QString watched = tree.filePath(QStringLiteral("watched"));
  QString other = tree.filePath(QStringLiteral("other"));
  QStringList played;
  QList<int> ends;
  Form1 form;

  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(watched));
    ASSERT_TRUE(QDir().mkpath(other));
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Touch(watched + u'/' + QLatin1String(name));
    Touch(other + QStringLiteral("/only.txt"));
    Sound::SetPlayerForTesting([this](const QString& file) { played << file; });
    form.state().openMessage = [](const Messages::Request&, const Messages::Answered& answered) {
      answered(QMessageBox::Ok);
    };
    form.state().endProgram = [this](int code) { ends << code; };
    form.state().SettingsFile = tree.filePath(QStringLiteral("foldwarn.ini"));
    form.state().AddSoundFile = QStringLiteral("add-tone");
    form.state().RemoveSoundFile = QStringLiteral("remove-tone");
    form.Text1->setText(watched + u'/');
    form.watchFolder(watched);
    ASSERT_TRUE(WaitForWatch(form));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  void TearDown() override {
    for (frmDirSelect* picker : OpenPickers()) picker->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Sound::SetPlayerForTesting({});
  }

  // Runs `step` once a picker is on screen. The picker lets events run while it is being built, so a plain
  // zero timer could fire before it shows.
  void whenPickerShows(const std::function<void(frmDirSelect*)>& step) {
    auto* poll = new QTimer(&form);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
      const QList<frmDirSelect*> pickers = OpenPickers();
      if (pickers.isEmpty()) return;
      poll->stop();
      poll->deleteLater();
      EXPECT_EQ(pickers.size(), 1);
      step(pickers.first());
    });
    poll->start();
  }

  // Presses "Durchsuchen", by mouse or with `key` on the focused button; `step` runs once the picker is up and
  // must close it. Returns when it has.
  void browse(const std::function<void(frmDirSelect*)>& step, Qt::Key key = Qt::Key_unknown) {
    auto stepped = std::make_shared<bool>(false);
    whenPickerShows([step, stepped](frmDirSelect* picker) {
      step(picker);
      *stepped = true;
    });
    if (key == Qt::Key_unknown) {
      QTest::mouseClick(form.Command1, Qt::LeftButton);
    } else {
      form.Command1->setFocus();
      QTest::keyClick(form.Command1, key);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return *stepped && OpenPickers().isEmpty(); }, 10000));
    // A step that failed before closing the picker leaves it open; the applied folder's first count is waited for.
    for (frmDirSelect* picker : OpenPickers()) picker->close();
    EXPECT_TRUE(WaitForWatch(form));
  }

  static void openFolder(frmDirSelect* picker, const QString& folder) {
    ASSERT_TRUE(picker->findChild<Controls::DirListBox*>(QStringLiteral("Dir1"))->setPath(folder));
  }
  static void press(frmDirSelect* picker, const char* name) {
    QTest::mouseClick(picker->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
  }
  void tick(int times = 1) {
    for (int i = 0; i < times; ++i) {
      ASSERT_TRUE(QMetaObject::invokeMethod(&form, "Timer1_Timer"));
      ASSERT_TRUE(WaitForWatch(form));
    }
  }
};

TEST_F(Browse, AppliedFolderIsWatchedAtOnce) {
  form.HScroll1->setValue(3);
  tick();  // one of three ticks gone before the change
  QString title, openedAt;
  browse([&](frmDirSelect* picker) {
    title = picker->windowTitle();
    openedAt = picker->findChild<Controls::DirListBox*>(QStringLiteral("Dir1"))->path();
    openFolder(picker, other);
    press(picker, "Command1");
  });
  EXPECT_EQ(title, u"Zu überwachenden Pfad auswählen");
  EXPECT_EQ(openedAt, QDir::cleanPath(watched));
  EXPECT_EQ(form.Text1->text(), QDir::cleanPath(other) + u'/');
  EXPECT_FALSE(form.state().PickerOpen);
  EXPECT_EQ(form.focusWidget(), form.dummy);
  EXPECT_EQ(form.folderWatch()->folder(), QDir::cleanPath(other));
  EXPECT_EQ(form.state().LastFileCount, 1);
  EXPECT_TRUE(played.isEmpty());  // the switch itself is silent

  // The tick count went on: the check falls on the third tick counted from before the change.
  Touch(other + QStringLiteral("/new.txt"));
  tick();
  EXPECT_TRUE(played.isEmpty());
  tick();
  EXPECT_EQ(played, QStringList{"add-tone"});
}

TEST_F(Browse, KeyboardAloneApplies) {
  for (const auto& [key, folder] : {std::pair{Qt::Key_Return, other}, {Qt::Key_Space, watched}}) {
    browse(
        [&](frmDirSelect* picker) {
          openFolder(picker, folder);
          QTest::keyClick(picker->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::Key_Enter);
        },
        key);
    EXPECT_EQ(form.Text1->text(), QDir::cleanPath(folder) + u'/');
    EXPECT_EQ(form.focusWidget(), form.dummy);
  }
}

TEST_F(Browse, CancelAndCloseChangeNothing) {
  for (const char* how : {"Command2", "close box"}) {
    SCOPED_TRACE(how);
    browse([&](frmDirSelect* picker) {
      openFolder(picker, other);
      if (QByteArray(how) == "Command2")
        press(picker, how);
      else
        picker->close();
    });
    EXPECT_EQ(form.Text1->text(), watched + u'/');
    EXPECT_EQ(form.folderWatch()->folder(), QDir::cleanPath(watched));
    EXPECT_EQ(form.state().LastFileCount, 3);
    EXPECT_FALSE(form.state().PickerOpen);
    EXPECT_EQ(form.focusWidget(), form.dummy);
  }
}

TEST_F(Browse, WatchGoesOnWhilePickerIsOpen) {
  form.HScroll1->setValue(1);
  form.Timer1->setInterval(5);
  form.Timer1->start();
  QSignalSpy ticks(form.Timer1, &QTimer::timeout);
  bool heard = false;
  browse([&](frmDirSelect* picker) {
    Touch(watched + QStringLiteral("/arrived.txt"));
    heard = QTest::qWaitFor([&] { return !played.isEmpty(); }, 3000);
    form.Timer1->stop();  // a count every 5 ms would keep the watch busy past browse()'s wait
    press(picker, "Command2");
  });
  EXPECT_TRUE(heard);
  EXPECT_GE(ticks.count(), 1);
  EXPECT_EQ(played, QStringList{"add-tone"});
}

TEST_F(Browse, PressingAgainShowsTheOpenPicker) {
  frmDirSelect* first = nullptr;
  QList<frmDirSelect*> atSecondPress;
  browse([&](frmDirSelect* picker) {
    first = picker;
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    atSecondPress = OpenPickers();
    openFolder(first, other);
    press(first, "Command1");
  });
  EXPECT_EQ(atSecondPress, QList<frmDirSelect*>{first});
  EXPECT_EQ(form.Text1->text(), QDir::cleanPath(other) + u'/');
  EXPECT_EQ(form.folderWatch()->folder(), QDir::cleanPath(other));
  EXPECT_EQ(form.state().LastFileCount, 1);
  EXPECT_TRUE(OpenPickers().isEmpty());
}

// The picker lets events run while it is made; a press arriving then must not make a second picker.
TEST_F(Browse, PressWhilePickerIsBuiltMakesNoSecond) {
  int pickersMade = 0;
  QMetaObject::invokeMethod(form.Command1, &QPushButton::click, Qt::QueuedConnection);
  browse([&](frmDirSelect* picker) {
    const QWidgetList all = QApplication::topLevelWidgets();  // shown or not
    pickersMade = int(std::count_if(all.begin(), all.end(), [](QWidget* w) { return qobject_cast<frmDirSelect*>(w); }));
    openFolder(picker, other);
    press(picker, "Command1");
  });
  EXPECT_EQ(pickersMade, 1);
  EXPECT_EQ(form.Text1->text(), QDir::cleanPath(other) + u'/');
  EXPECT_TRUE(OpenPickers().isEmpty());
}

TEST_F(Browse, ClosingTheMainWindowSavesTheShownFolderAndEnds) {
  std::optional<QString> saved;
  QList<int> endsAtClose;
  browse([&](frmDirSelect* picker) {
    openFolder(picker, other);
    form.close();
    endsAtClose = ends;
    saved = Commands::ReadProfileString(QStringLiteral("Divuvadi Foldwarn"), QStringLiteral("LetzterPfad"),
                                        form.state().SettingsFile);
    // The real end leaves the event loop, and the picker goes with the window; the recorder does neither.
    picker->close();
  });
  EXPECT_EQ(endsAtClose, QList<int>{0});
  EXPECT_EQ(saved, watched + u'/');
}

}  // namespace
