// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form1.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "commands/private_profile.h"
#include "commands/twips.h"
#include "commands/window_placement.h"
#include "controls/file_list_box.h"
#include "sound/sound.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "support/watch_wait.h"

using namespace Qt::StringLiterals;

namespace {

const QString MinuteText = u"Folgender Pfad wird jede Minute auf neue Dateien überprüft:"_s;

// Records what would have been played.
class Recording : public ::testing::Test {
 protected:
  QStringList played;
  void SetUp() override {
    Sound::SetPlayerForTesting([this](const QString& file) { played << file; });
  }
  void TearDown() override { Sound::SetPlayerForTesting({}); }
  // Each tick's count, if it asked for one, has come back when this returns.
  static void Tick(Form1& form, int times = 1) {
    for (int i = 0; i < times; ++i) {
      ASSERT_TRUE(QMetaObject::invokeMethod(&form, "Timer1_Timer"));
      ASSERT_TRUE(WaitForWatch(form));
    }
  }
};

TEST(Form1Design, ControlsSitWhereTheyAreDesigned) {
  Form1 form;
  struct Row {
    const char* name;
    QRect rect;
    const char* parent;
  };
  const Row rows[] = {
      {"Frame1", TwipRect(120, 1020, 5475, 2835), "Form1"}, {"File3", TwipRect(2760, 435, 2535, 2235), "Frame1"},
      {"File2", TwipRect(180, 435, 2535, 2235), "Frame1"},  {"Label2", TwipRect(180, 240, 5055, 195), "Frame1"},
      {"dummy", TwipRect(2820, 4500, 315, 285), "Form1"},   {"HScroll1", TwipRect(2640, 660, 2955, 255), "Form1"},
      {"File1", TwipRect(660, 4320, 1995, 480), "Form1"},   {"Command1", TwipRect(120, 660, 1635, 255), "Form1"},
      {"Text1", TwipRect(120, 300, 5475, 285), "Form1"},    {"Label3", TwipRect(1800, 660, 795, 255), "Form1"},
      {"Label1", TwipRect(120, 60, 5295, 255), "Form1"}};
  for (const Row& row : rows) {
    const auto* control = form.findChild<QWidget*>(QLatin1StringView(row.name));
    ASSERT_NE(control, nullptr) << row.name;
    EXPECT_EQ(control->geometry(), row.rect) << row.name;
    EXPECT_EQ(control->parentWidget()->objectName(), QLatin1StringView(row.parent)) << row.name;
  }
  EXPECT_EQ(form.size(), QSize(381, 264));
  EXPECT_EQ(form.windowTitle(), u"Foldwarn"_s);
  EXPECT_FALSE(form.windowIcon().isNull());

  // Resizing is allowed and moves nothing.
  EXPECT_EQ(form.minimumSize(), QSize(0, 0));
  EXPECT_EQ(form.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  form.resize(900, 700);
  for (const Row& row : rows) EXPECT_EQ(form.findChild<QWidget*>(QLatin1StringView(row.name))->geometry(), row.rect);
}

TEST(Form1Design, CaptionsAndSettings) {
  Form1 form;
  EXPECT_EQ(form.Label1->text(), MinuteText);
  EXPECT_EQ(form.Label3->text(), u"Intervall:"_s);
  EXPECT_EQ(form.Command1->text(), u"Durchsuchen"_s);
  EXPECT_EQ(form.Frame1->title(), u"Signaltöne:"_s);
  const QString heading = form.Label2->text();
  EXPECT_EQ(heading.size(), 66);
  EXPECT_EQ(heading, u"'Neue Datei'"_s + QString(38, u' ') + u"'Datei entfernt'"_s);

  EXPECT_TRUE(form.Text1->text().isEmpty());
  EXPECT_TRUE(form.Text1->isReadOnly());
  EXPECT_TRUE(form.dummy->text().isEmpty());
  EXPECT_EQ(form.HScroll1->orientation(), Qt::Horizontal);
  EXPECT_EQ(form.HScroll1->minimum(), 1);
  EXPECT_EQ(form.HScroll1->maximum(), 60);
  EXPECT_EQ(form.HScroll1->singleStep(), 1);
  EXPECT_EQ(form.HScroll1->pageStep(), 10);
  EXPECT_EQ(form.HScroll1->value(), 60);
  EXPECT_EQ(form.File2->pattern(), u"*.wav"_s);
  EXPECT_EQ(form.File3->pattern(), u"*.wav"_s);
  EXPECT_TRUE(form.File1->pattern().isEmpty());
  EXPECT_EQ(form.Timer1->interval(), 1000);
  EXPECT_EQ(form.findChild<QTimer*>(u"Timer1"_s), form.Timer1);

  form.show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form.Timer1->isActive());  // only the start routine starts the watch
  EXPECT_FALSE(form.File1->isVisible());
  EXPECT_TRUE(form.dummy->isVisible());
  EXPECT_TRUE(form.dummy->isEnabled());
  EXPECT_GE(form.dummy->y(), form.height());  // out of sight below the client area
  form.resize(381, 400);
  EXPECT_FALSE(form.File1->isVisible());
}

// Every caption must show whole in its box at the dialog font.
TEST(Form1Design, CaptionsFitTheirBoxes) {
  Form1 form;
  form.show();
  const auto fits = [](const QWidget* w, const QString& text, int spare) {
    const QFontMetrics metrics(w->font());
    EXPECT_LE(metrics.horizontalAdvance(text) + spare, w->width()) << w->objectName() << ": " << text;
    EXPECT_LE(metrics.height(), w->height()) << w->objectName();
  };
  fits(form.Label1, MinuteText, 0);
  fits(form.Label1, u"Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"_s, 0);
  fits(form.Label1, u"Folgender Pfad wird alle 59 Sekunden auf neue Dateien überprüft:"_s, 0);
  fits(form.Label2, form.Label2->text(), 0);
  fits(form.Label3, form.Label3->text(), 0);
  fits(form.Command1, form.Command1->text(), 8);
  QStyleOptionGroupBox option;
  option.initFrom(form.Frame1);
  option.text = form.Frame1->title();
  option.subControls = QStyle::SC_GroupBoxLabel;
  const QRect label =
      form.Frame1->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, form.Frame1);
  EXPECT_GE(label.width(), QFontMetrics(form.Frame1->font()).horizontalAdvance(form.Frame1->title()));
  // The right heading stands above the right list.
  const int gap = QFontMetrics(form.Label2->font()).horizontalAdvance(u"'Neue Datei'"_s + QString(38, u' '));
  EXPECT_NEAR(form.Label2->x() + gap, form.File3->x(), 30);
}

TEST(Form1Design, TabCyclesThroughTheFocusableControls) {
  Form1 form;
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.Text1);
  QTest::keyClicks(form.Text1, u"typed"_s);
  EXPECT_TRUE(form.Text1->text().isEmpty());

  // The focus sink is passed over; from it, parked there after the picker, Tab goes on where it stood.
  const QWidget* order[] = {form.Command1, form.HScroll1, form.File2, form.File3, form.Text1, form.Command1};
  for (const QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), expected) << expected->objectName();
  }
  form.dummy->setFocus();
  QTest::keyClick(form.dummy, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.File2);
}

TEST(Form1Design, LoadCentresAndCaptions) {
  Form1 form;
  form.state().SettingsSection = u"Divuvadi Foldwarn"_s;
  form.show();
  EXPECT_EQ(form.windowTitle(), u"Divuvadi Foldwarn"_s);
  const QRect area = form.screen()->availableGeometry();
  // The window's outer size counts, its frame included.
  const QSize outer = form.frameGeometry().size();
  const QPoint twips = Commands::CenteredPosition(area.width() * 15.0, area.height() * 15.0, outer.width() * 15.0,
                                                  outer.height() * 15.0);
  EXPECT_EQ(form.pos(), area.topLeft() + QPoint(Px(twips.x()), Px(twips.y())));
}

using CheckInterval = Recording;

TEST_F(CheckInterval, LabelTellsTheIntervalInWords) {
  Form1 form;
  struct Case {
    int seconds;
    QString text;
  };
  // From 60 first away and back again, so that every value is a change.
  const Case cases[] = {
      {1, u"Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"_s},
      {2, u"Folgender Pfad wird alle 2 Sekunden auf neue Dateien überprüft:"_s},
      {30, u"Folgender Pfad wird alle 30 Sekunden auf neue Dateien überprüft:"_s},
      {59, u"Folgender Pfad wird alle 59 Sekunden auf neue Dateien überprüft:"_s},
      {60, MinuteText},
  };
  for (const Case& c : cases) {
    form.HScroll1->setValue(c.seconds);
    EXPECT_EQ(form.Label1->text(), c.text) << c.seconds;
    // A screen reader on the scroll bar hears the label's new text as the bar's description.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.HScroll1)->text(QAccessible::Description), c.text);
  }
}

TEST_F(CheckInterval, LabelFollowsTheDraggedThumbAndArrows) {
  Form1 form;
  form.show();
  form.HScroll1->setSliderDown(true);
  for (int seconds = 59; seconds >= 10; --seconds) {
    form.HScroll1->setSliderPosition(seconds);
    ASSERT_EQ(form.Label1->text(), u"Folgender Pfad wird alle %1 Sekunden auf neue Dateien überprüft:"_s.arg(seconds));
  }
  form.HScroll1->setSliderDown(false);
  form.HScroll1->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(form.HScroll1->value(), 1);
  EXPECT_EQ(form.Label1->text(), u"Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"_s);
  form.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(form.HScroll1->value(), 2);
}

TEST_F(CheckInterval, ClicksStepByOneOnTheArrowsAndByTenInTheTrack) {
  Form1 form;
  form.show();
  QScrollBar* bar = form.HScroll1;
  const int middle = bar->height() / 2;
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, middle));  // right arrow, at the end
  EXPECT_EQ(bar->value(), 60);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, middle));  // left arrow
  EXPECT_EQ(bar->value(), 59);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->height() + 3, middle));  // track, left of the thumb
  EXPECT_EQ(bar->value(), 49);
  EXPECT_EQ(form.Label1->text(), u"Folgender Pfad wird alle 49 Sekunden auf neue Dateien überprüft:"_s);
}

TEST_F(CheckInterval, KeysMoveTheBarTheWayItReads) {
  Form1 form;
  form.show();
  struct Case {
    const char* name;
    int from;
    Qt::Key key;
    int to;
  };
  const Case cases[] = {
      {"Left lowers", 30, Qt::Key_Left, 29},          {"Up lowers", 30, Qt::Key_Up, 29},
      {"Right raises", 30, Qt::Key_Right, 31},        {"Down raises", 30, Qt::Key_Down, 31},
      {"PgUp lowers by ten", 30, Qt::Key_PageUp, 20}, {"PgDn raises by ten", 30, Qt::Key_PageDown, 40},
      {"Home goes to one", 30, Qt::Key_Home, 1},      {"End goes to sixty", 30, Qt::Key_End, 60},
      {"Left stops at one", 1, Qt::Key_Left, 1},      {"Down stops at sixty", 60, Qt::Key_Down, 60},
      {"PgUp stops at one", 5, Qt::Key_PageUp, 1},    {"PgDn stops at sixty", 55, Qt::Key_PageDown, 60},
  };
  for (const Case& c : cases) {
    form.HScroll1->setValue(c.from);
    QTest::keyClick(form.HScroll1, c.key);
    EXPECT_EQ(form.HScroll1->value(), c.to) << c.name;
  }
  // The label follows a key as it follows the thumb.
  form.HScroll1->setValue(30);
  QTest::keyClick(form.HScroll1, Qt::Key_Left);
  EXPECT_EQ(form.Label1->text(), u"Folgender Pfad wird alle 29 Sekunden auf neue Dateien überprüft:"_s);
}

class WatchCycle : public Recording {
 public:
  QTemporaryDir dir;
  QString folder = dir.path() + u"/watched"_s;
  Form1 form;
  void SetUp() override {
    Recording::SetUp();
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Touch(folder + u'/' + QLatin1StringView(name));
    form.state().AddSoundFile = u"add-tone"_s;
    form.state().RemoveSoundFile = u"remove-tone"_s;
    Watch();
  }
  void Watch() {
    form.watchFolder(folder);
    ASSERT_TRUE(WaitForWatch(form));
  }
  void Add(int n, const QString& prefix = u"new"_s) {
    for (int i = 0; i < n; ++i) Touch(folder + u'/' + prefix + QString::number(i));
  }
};

TEST_F(WatchCycle, ChecksOnTheNthTickOnly) {
  form.HScroll1->setValue(3);
  Add(1);
  Tick(form, 2);
  EXPECT_TRUE(played.isEmpty());
  EXPECT_EQ(form.state().LastFileCount, 3);
  Tick(form);
  EXPECT_EQ(played, QStringList{u"add-tone"_s});
  // Count unchanged: three more ticks, nothing.
  Tick(form, 3);
  EXPECT_EQ(played.size(), 1);
  EXPECT_EQ(form.state().LastFileCount, 4);
}

TEST_F(WatchCycle, ChangesBetweenTwoChecks) {
  struct Case {
    const char* name;
    std::function<void(WatchCycle&)> change;
    QStringList tones;
    qint64 count;
  };
  const Case cases[] = {
      {"FiveAdded", [](WatchCycle& t) { t.Add(5); }, {u"add-tone"_s}, 8},
      {"OneAddedOneRemoved",
       [](WatchCycle& t) {
         t.Add(1);
         QFile::remove(t.folder + u"/a.txt"_s);
       },
       {},
       3},
      {"HiddenFileAndSubfolder",
       [](WatchCycle& t) {
         Touch(t.folder + u"/.hidden"_s);
         QDir(t.folder).mkdir(u"sub"_s);
       },
       {},
       3},
      {"Emptied",
       [](WatchCycle& t) {
         for (const char* name : {"a.txt", "b.txt", "c.txt"}) QFile::remove(t.folder + u'/' + QLatin1StringView(name));
       },
       {u"remove-tone"_s},
       0},
  };
  for (const Case& c : cases) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Touch(folder + u'/' + QLatin1StringView(name));
    Watch();
    played.clear();
    form.HScroll1->setValue(1);
    c.change(*this);
    Tick(form);
    EXPECT_EQ(played, c.tones) << c.name;
    EXPECT_EQ(form.state().LastFileCount, c.count) << c.name;
  }
}

TEST_F(WatchCycle, LoweredIntervalChecksAtTheNextTick) {
  Tick(form, 30);  // interval 60: no check yet
  Add(1);
  form.HScroll1->setValue(5);
  Tick(form);
  EXPECT_EQ(played, QStringList{u"add-tone"_s});
  // Raising the interval lets the count run on to the new value.
  Add(1, u"more"_s);
  form.HScroll1->setValue(10);
  Tick(form, 9);
  EXPECT_EQ(played.size(), 1);
  Tick(form);
  EXPECT_EQ(played.size(), 2);
}

TEST_F(WatchCycle, IntervalOneGivesTwoTonesInTwoTicks) {
  form.HScroll1->setValue(1);
  Add(1);
  Tick(form);
  QFile::remove(folder + u"/a.txt"_s);
  QFile::remove(folder + u"/b.txt"_s);
  Tick(form);
  EXPECT_EQ(played, (QStringList{u"add-tone"_s, u"remove-tone"_s}));
  EXPECT_EQ(form.state().LastFileCount, 2);
}

TEST_F(WatchCycle, CountsBeyondSixteenBits) {
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  Add(40000, u"f"_s);
  Watch();
  ASSERT_EQ(form.state().LastFileCount, 40000);
  form.HScroll1->setValue(1);
  Tick(form);
  EXPECT_TRUE(played.isEmpty());
  Add(1, u"one-more"_s);
  Tick(form);
  EXPECT_EQ(played, QStringList{u"add-tone"_s});
  EXPECT_EQ(form.state().LastFileCount, 40001);
}

TEST_F(WatchCycle, VanishedFolderSkipsTheCheckUntilItIsBack) {
  form.HScroll1->setValue(1);
  ASSERT_TRUE(QDir(folder).removeRecursively());
  Tick(form, 3);
  EXPECT_TRUE(played.isEmpty());
  EXPECT_EQ(form.state().LastFileCount, 3);
  // A file where the folder was is no folder either.
  Touch(folder);
  Tick(form);
  EXPECT_TRUE(played.isEmpty());
  QFile::remove(folder);
  ASSERT_TRUE(QDir().mkpath(folder));
  Add(4);
  Tick(form);
  EXPECT_EQ(played, QStringList{u"add-tone"_s});
  EXPECT_EQ(form.state().LastFileCount, 4);
}

TEST_F(WatchCycle, FolderUnreadableAtFirstIsWatchedOnceItCanBeRead) {
  const QString later = dir.path() + u"/later"_s;
  form.HScroll1->setValue(3);
  form.watchFolder(later);
  ASSERT_TRUE(WaitForWatch(form));
  EXPECT_EQ(form.folderWatch()->folder(), later);
  Tick(form, 2);
  ASSERT_TRUE(QDir().mkpath(later));
  Touch(later + u"/one"_s);
  Touch(later + u"/two"_s);
  Tick(form);  // the first readable count is the base, whichever tick it falls on
  EXPECT_TRUE(played.isEmpty());
  EXPECT_EQ(form.state().LastFileCount, 2);
  Touch(later + u"/three"_s);
  Tick(form, 3);
  EXPECT_EQ(played, QStringList{u"add-tone"_s});
}

TEST_F(WatchCycle, AnswerForAFolderNoLongerWatchedIsDropped) {
  const QString other = dir.path() + u"/other"_s;
  ASSERT_TRUE(QDir().mkpath(other));
  Touch(other + u"/only"_s);
  form.watchFolder(folder);
  form.watchFolder(other);  // while the first count may still run
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.state().LastFileCount == 1; }, 5000));
  ASSERT_TRUE(WaitForWatch(form));
  EXPECT_EQ(form.state().LastFileCount, 1);
  EXPECT_TRUE(played.isEmpty());
}

class SignalTones : public Recording {
 protected:
  QTemporaryDir dir;
  Form1 form;
  void SetUp() override {
    Recording::SetUp();
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) Touch(dir.filePath(QLatin1StringView(name)));
    form.state().AppFolder = dir.path() + u'/';
    form.state().StartupFilling = true;
    ASSERT_TRUE(form.File2->setPath(dir.path()));
    ASSERT_TRUE(form.File3->setPath(dir.path()));
    form.state().StartupFilling = false;
    form.state().AddSoundFile = u"add.wav"_s;
    form.state().RemoveSoundFile = u"remove.wav"_s;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void Click(Controls::FileListBox* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
};

TEST_F(SignalTones, MouseClickPicksAndPreviews) {
  Click(form.File2, 1);
  EXPECT_EQ(form.state().AddSoundFile, form.state().AppFolder + u"b.wav"_s);
  EXPECT_EQ(played, QStringList{form.state().AppFolder + u"b.wav"_s});
  EXPECT_EQ(form.state().RemoveSoundFile, u"remove.wav"_s);
  Click(form.File3, 2);
  EXPECT_EQ(form.state().RemoveSoundFile, form.state().AppFolder + u"c.wav"_s);
  EXPECT_EQ(played.size(), 2);
}

TEST_F(SignalTones, ArrowKeysPreviewEachTonePassed) {
  form.state().StartupFilling = true;
  form.File3->setCurrentRow(0);
  form.state().StartupFilling = false;
  form.File3->setFocus();
  QTest::keyClick(form.File3, Qt::Key_Down);
  QTest::keyClick(form.File3, Qt::Key_Down);
  EXPECT_EQ(played, (QStringList{form.state().AppFolder + u"b.wav"_s, form.state().AppFolder + u"c.wav"_s}));
  EXPECT_EQ(form.state().RemoveSoundFile, form.state().AppFolder + u"c.wav"_s);
  EXPECT_EQ(form.File3->selectedFileName(), u"c.wav"_s);
}

TEST_F(SignalTones, SilentWhileStartupFills) {
  form.state().StartupFilling = true;
  form.File2->setCurrentRow(2);
  Click(form.File3, 1);
  EXPECT_TRUE(played.isEmpty());
  EXPECT_EQ(form.state().AddSoundFile, u"add.wav"_s);
  EXPECT_EQ(form.state().RemoveSoundFile, u"remove.wav"_s);
}

// Records whether and how the program would have ended.
class Shutdown : public Recording {
 protected:
  QTemporaryDir dir;
  Form1 form;
  QList<int> ends;
  void SetUp() override {
    Recording::SetUp();
    for (const char* name : {"add.wav", "remove.wav"}) Touch(dir.filePath(QLatin1StringView(name)));
    form.state().SettingsSection = u"Divuvadi Foldwarn"_s;
    form.state().SettingsFile = dir.filePath(u"foldwarn.ini"_s);
    form.state().endProgram = [this](int code) { ends << code; };
    form.File2->setPath(dir.path());
    form.File3->setPath(dir.path());
    form.show();
  }
  std::optional<QString> Stored(const QString& key) {
    return Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, key, form.state().SettingsFile);
  }
};

TEST_F(Shutdown, ClosingSavesTheControlsThenEnds) {
  form.Text1->setText(u"/data/Daten/"_s);
  form.HScroll1->setValue(30);
  form.File2->setCurrentRow(0);
  form.File3->setCurrentRow(1);
  // The end comes after all four writes.
  QByteArray atEnd;
  form.state().endProgram = [&](int code) {
    ends << code;
    QFile f(form.state().SettingsFile);
    if (f.open(QIODevice::ReadOnly)) atEnd = f.readAll();
  };
  EXPECT_TRUE(form.close());
  EXPECT_EQ(ends, QList<int>{0});
  EXPECT_EQ(atEnd,
            "[Divuvadi Foldwarn]\nLetzterPfad=/data/Daten/\nZeit=30\naddSound=add.wav\nremoveSound=remove.wav\n");
}

TEST_F(Shutdown, NothingSelectedSavesEmptyToneNames) {
  QFile f(form.state().SettingsFile);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Divuvadi Foldwarn]\naddSound=ping.wav\nremoveSound=pong.wav\n");
  f.close();
  form.close();
  EXPECT_EQ(Stored(u"addSound"_s), u""_s);
  EXPECT_EQ(Stored(u"removeSound"_s), u""_s);
  EXPECT_EQ(Stored(u"Zeit"_s), u"60"_s);
  EXPECT_EQ(Stored(u"LetzterPfad"_s), u""_s);
  EXPECT_EQ(ends, QList<int>{0});
}

TEST_F(Shutdown, UnwritableSettingsStillEnd) {
  form.state().SettingsFile = dir.filePath(u"missing/folder/foldwarn.ini"_s);
  form.close();
  EXPECT_EQ(ends, QList<int>{0});
  EXPECT_FALSE(QFile::exists(form.state().SettingsFile));
}

TEST_F(Shutdown, LogoutSaves) {
  // The session manager cannot be faked; the window must at least be listening to it.
  EXPECT_TRUE(QObject::disconnect(qApp, &QGuiApplication::commitDataRequest, &form, nullptr));
}

}  // namespace
