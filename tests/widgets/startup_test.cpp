// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "commands/private_profile.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "platform/file_name.h"
#include "platform/instance.h"
#include "sound/sound.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "watch/folder_watch.h"

using namespace Qt::StringLiterals;

namespace {

// Each test is one start of the program from a prepared program folder.
class Startup : public ::testing::Test {
 protected:
  QTemporaryDir programDir;
  QString appFolder = programDir.path() + u'/';
  QString settingsFile = programDir.filePath(u"foldwarn.ini"_s);
  QStringList played;
  QList<int> ends;
  std::unique_ptr<Form1> made;

  void SetUp() override {
    Sound::SetPlayerForTesting([this](const QString& file) { played << file; });
    Touch(programDir.filePath(u"foldwarn"_s));
    Touch(programDir.filePath(u"add.wav"_s));
    Touch(programDir.filePath(u"remove.wav"_s));
    Touch(programDir.filePath(u"ping.wav"_s));
  }
  void TearDown() override {
    made.reset();
    Platform::ReleaseSingleInstance();
    Sound::SetPlayerForTesting({});
  }
  void WriteSettings(const QByteArray& lines) {
    QFile f(settingsFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Divuvadi Foldwarn]\n" + lines);
  }
  // A start of the program in programDir; the window it made replaces the last one.
  Form1* Main() {
    made = Commands::Main(programDir.filePath(u"foldwarn"_s));
    if (made) made->state().endProgram = [this](int code) { ends << code; };
    return made.get();
  }
  // Returns once the first count is in and the watch runs; until a count is in, the last count reads -1.
  Form1* Start() {
    Main();
    EXPECT_NE(made, nullptr);
    if (made) {
      made->state().LastFileCount = -1;
      EXPECT_TRUE(QTest::qWaitFor([this] { return made->Timer1->isActive(); }, 10000));
    }
    return made.get();
  }
};

TEST_F(Startup, WithoutSettingsWatchesTheProgramFolder) {
  Form1* form = Start();
  ASSERT_TRUE(form);
  EXPECT_EQ(form->state().AppFolder, appFolder);
  EXPECT_EQ(form->state().ExeName, u"foldwarn"_s);
  EXPECT_EQ(form->state().SettingsFile, settingsFile);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), u"Divuvadi Foldwarn"_s);
  EXPECT_EQ(form->Text1->text(), appFolder);
  EXPECT_EQ(QDir(form->folderWatch()->folder()), QDir(programDir.path()));
  EXPECT_EQ(form->state().LastFileCount, 4);
  EXPECT_EQ(form->HScroll1->value(), 60);
  EXPECT_EQ(form->Label1->text(), u"Folgender Pfad wird jede Minute auf neue Dateien überprüft:"_s);
  EXPECT_EQ(form->File2->selectedFileName(), u"add.wav"_s);
  EXPECT_EQ(form->File3->selectedFileName(), u"remove.wav"_s);
  EXPECT_EQ(form->File2->count(), 3);
  EXPECT_EQ(form->state().AddSoundFile, appFolder + u"add.wav"_s);
  EXPECT_EQ(form->state().RemoveSoundFile, appFolder + u"remove.wav"_s);
  EXPECT_FALSE(form->state().StartupFilling);
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(played.isEmpty());              // selecting the stored tones plays nothing
  EXPECT_FALSE(QFile::exists(settingsFile));  // reading creates nothing
  EXPECT_TRUE(ends.isEmpty());
}

TEST_F(Startup, WatchedFolder) {
  QTemporaryDir other;
  Touch(other.filePath(u"x"_s));
  Touch(programDir.filePath(u"plain-file"_s));
  struct Case {
    const char* name;
    QByteArray stored;
    QString shown;  // every byte kept, as closing writes it back; Text1 shows a kept byte as U+FFFD
    bool readable;
  };
  const QString gone = u"/no/such/folder/anywhere"_s;
  // Only an empty value gives way to the program folder; any other is shown and watched as stored, from the moment
  // it can be read.
  const Case cases[] = {
      {"Stored", other.path().toUtf8(), other.path(), true},  // as stored: no separator added
      {"StoredWithSeparator", other.path().toUtf8() + '/', other.path() + u'/', true},
      {"Gone", gone.toUtf8(), gone, false},
      {"Empty", "", appFolder, true},
      {"TooLong", QByteArray(2047, 'a'), QString(2047, u'a'), false},
      {"NamesAFile", programDir.filePath(u"plain-file"_s).toUtf8(), programDir.filePath(u"plain-file"_s), false},
      {"InvalidUtf8", "/tmp/\xff\xfe\xc3(", Platform::DecodeName("/tmp/\xff\xfe\xc3("), false},  // bytes kept
      {"Relative", "..", u".."_s, true},  // a folder that exists, relative to wherever we run
  };
  for (const Case& c : cases) {
    WriteSettings("LetzterPfad=" + c.stored + "\n");
    Form1* form = Start();
    ASSERT_TRUE(form) << c.name;
    EXPECT_EQ(form->Text1->text(), Platform::DisplayName(c.shown)) << c.name;
    EXPECT_EQ(form->folderWatch()->folder(), QDir::cleanPath(c.shown)) << c.name;
    // A folder that cannot be read has no count yet: the first one it gives will be the base.
    EXPECT_EQ(form->state().LastFileCount, c.readable ? QDir(c.shown).entryList(QDir::Files).size() : -1) << c.name;
    form->close();
    EXPECT_EQ(Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, u"LetzterPfad"_s, settingsFile), c.shown) << c.name;
  }
}

TEST_F(Startup, StoredTones) {
  Touch(programDir.filePath(u"Notes.txt"_s));
  struct Case {
    const char* name;
    QByteArray stored;
    QString selected, tone;
  };
  const Case cases[] = {
      {"Other", "ping.wav", u"ping.wav"_s, u"ping.wav"_s},
      {"OtherCase", "PING.Wav", u"ping.wav"_s, u"ping.wav"_s},  // the file's own spelling, so it can be found
      {"Missing", "gone.wav", u"add.wav"_s, u"add.wav"_s},      // the default replaces it, and shows
      {"NotAWave", "Notes.txt", u""_s, u"Notes.txt"_s},
      {"Folder", ".", u"add.wav"_s, u"add.wav"_s},
      {"EmptyValue", "", u"add.wav"_s, u"add.wav"_s},
  };
  for (const Case& c : cases) {
    WriteSettings("addSound=" + c.stored + "\nremoveSound=" + c.stored + "\n");
    Form1* form = Start();
    ASSERT_TRUE(form) << c.name;
    EXPECT_EQ(form->File2->selectedFileName(), c.selected) << c.name;
    EXPECT_EQ(form->state().AddSoundFile, appFolder + c.tone) << c.name;
    const QString removeTone = c.tone == u"add.wav"_s ? u"remove.wav"_s : c.tone;
    EXPECT_EQ(form->File3->selectedFileName(), c.selected == u"add.wav"_s ? u"remove.wav"_s : c.selected) << c.name;
    EXPECT_EQ(form->state().RemoveSoundFile, appFolder + removeTone) << c.name;
  }
  EXPECT_TRUE(played.isEmpty());
}

TEST_F(Startup, Interval) {
  struct Case {
    const char* name;
    QByteArray stored;
    int value;
  };
  const Case cases[] = {{"Thirty", "30", 30},    {"HalfDown", "30.5", 30}, {"HalfUp", "31.5", 32},
                        {"ToSixty", "59.5", 60}, {"Zero", "0", 60},        {"SixtyOne", "61", 60},
                        {"TooBig", "99999", 60}, {"NoNumber", "abc", 60},  {"BlankInside", " 1 5", 15},
                        {"One", "1", 1},         {"Negative", "-5", 60}};
  for (const Case& c : cases) {
    WriteSettings("Zeit=" + c.stored + "\n");
    Form1* form = Start();
    ASSERT_TRUE(form) << c.name;
    EXPECT_EQ(form->HScroll1->value(), c.value) << c.name;
    const QString label = c.value == 60 ? u"Folgender Pfad wird jede Minute auf neue Dateien überprüft:"_s
                          : c.value == 1
                              ? u"Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"_s
                              : u"Folgender Pfad wird alle %1 Sekunden auf neue Dateien überprüft:"_s.arg(c.value);
    EXPECT_EQ(form->Label1->text(), label) << c.name;
  }
}

TEST_F(Startup, EmptyProgramFolder) {
  for (const char* name : {"add.wav", "remove.wav", "ping.wav"})
    QFile::remove(programDir.filePath(QLatin1StringView(name)));
  WriteSettings("addSound=ping.wav\n");
  Form1* form = Start();
  ASSERT_TRUE(form);
  EXPECT_EQ(form->File2->count(), 0);
  EXPECT_EQ(form->File3->count(), 0);
  EXPECT_EQ(form->File2->selectedFileName(), u""_s);
  EXPECT_EQ(form->state().AddSoundFile, appFolder + u"add.wav"_s);
  EXPECT_EQ(form->state().RemoveSoundFile, appFolder + u"remove.wav"_s);
  EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(Startup, WatchStartsOnlyWhenTheWindowIsFilled) {
  WriteSettings("Zeit=1\n");
  bool seen = false, activeWhileFilling = true;
  QString shownWhileFilling;
  // Runs during the one pass over pending events that start-up makes.
  QTimer::singleShot(0, [&] {
    seen = made != nullptr;
    if (!seen) return;
    activeWhileFilling = made->Timer1->isActive();
    shownWhileFilling = made->Text1->text();
  });
  Form1* form = Start();
  ASSERT_TRUE(form);
  ASSERT_TRUE(seen);
  EXPECT_FALSE(activeWhileFilling);
  EXPECT_EQ(shownWhileFilling, appFolder);
  EXPECT_TRUE(form->Timer1->isActive());
  // The first check compares with the count taken at start: a new file gives the new-file tone.
  Touch(programDir.filePath(u"arrived"_s));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !played.isEmpty(); }, 5000));
  EXPECT_EQ(played, QStringList{appFolder + u"add.wav"_s});
}

// The start finishes when its lookups answer; a close before then (SIGTERM, a logout) loses none of the settings.
TEST_F(Startup, CloseBeforeTheStartIsDoneKeepsWhatWasStored) {
  const QByteArray stored = "LetzterPfad=/no/share/yet\nZeit=17\naddSound=PING.wav\nremoveSound=gone.wav\n";
  WriteSettings(stored);
  ASSERT_TRUE(Main());
  made->close();
  QFile f(settingsFile);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "[Divuvadi Foldwarn]\n" + stored);
  EXPECT_EQ(ends, QList<int>{0});
}

TEST_F(Startup, RunningAgainReplacesTheWindow) {
  QPointer<Form1> first = Start();
  Form1* second = Start();
  EXPECT_TRUE(first.isNull());
  EXPECT_NE(second, nullptr);
}

TEST_F(Startup, SecondInstanceEndsWithoutTouchingAnything) {
  WriteSettings("Zeit=30\n");
  const QByteArray before = [&] {
    QFile f(settingsFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  // Another process would hold this lock; a lock of our own living process is just as alive.
  QLockFile running(Platform::InstanceLockPath(u"foldwarn"_s, appFolder));
  ASSERT_TRUE(running.tryLock(0));
  EXPECT_EQ(Main(), nullptr);
  QFile f(settingsFile);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  // Once the other instance is gone, a start goes ahead.
  running.unlock();
  EXPECT_NE(Main(), nullptr);
}

}  // namespace
