// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/file_list_box.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/file_name.h"
#include "support/files.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

const QString Latin1Name = Platform::DecodeName("M\xe4rz.wav");  // as old shares and USB sticks name files

QStringList Entries(const Controls::FileListBox& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.fileName(i);
  return names;
}

class FileList : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  void SetUp() override {
    for (const char* name : {"b.wav", "A.wav", "LOUD.WAV", "c.Wav", "notes.txt", ".hidden.wav", "noext"})
      Touch(dir.filePath(QLatin1StringView(name)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.wav"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.wav"_s)).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath(u"b.wav"_s), dir.filePath(u"link.wav"_s)));
    ASSERT_TRUE(QFile::link(dir.filePath(u"nowhere"_s), dir.filePath(u"broken.wav"_s)));
    ASSERT_EQ(::close(::creat(Platform::EncodeName(dir.filePath(Latin1Name))->constData(), 0600)), 0);
  }
};

TEST_F(FileList, ListsMatchingRegularFilesSortedWithoutRegardToCase) {
  struct Case {
    const char* name;
    QString pattern;
    QStringList entries;
  };
  const Case cases[] = {
      {"Waves", u"*.wav"_s, {u"A.wav"_s, u"b.wav"_s, u"c.Wav"_s, u"link.wav"_s, u"LOUD.WAV"_s, Latin1Name}},
      {"Everything",
       u""_s,
       {u"A.wav"_s, u"b.wav"_s, u"c.Wav"_s, u"link.wav"_s, u"LOUD.WAV"_s, Latin1Name, u"noext"_s, u"notes.txt"_s}},
      {"TwoPatterns", u"*.txt;l*"_s, {u"link.wav"_s, u"LOUD.WAV"_s, u"notes.txt"_s}},
      {"NoMatch", u"*.mp3"_s, {}},
  };
  for (const Case& c : cases) {
    Controls::FileListBox list;
    list.setPattern(c.pattern);
    ASSERT_TRUE(list.setPath(dir.path())) << c.name;
    EXPECT_EQ(Entries(list), c.entries) << c.name;
  }
}

// The user's tones join the program's in one sorted list; a name in both is listed once.
TEST_F(FileList, ExtraFolderJoinsTheSortedList) {
  QTemporaryDir extra;
  for (const char* name : {"b.wav", "a.wav", "Mine.wav", "notes.txt"}) Touch(extra.filePath(QLatin1StringView(name)));
  Controls::FileListBox list;
  list.setPattern(u"*.wav"_s);
  list.setExtraFolder(extra.path());
  ASSERT_TRUE(list.setPath(dir.path()));
  EXPECT_EQ(Entries(list), (QStringList{u"A.wav"_s, u"a.wav"_s, u"b.wav"_s, u"c.Wav"_s, u"link.wav"_s, u"LOUD.WAV"_s,
                                        u"Mine.wav"_s, Latin1Name}));
  list.setExtraFolder(extra.filePath(u"missing"_s));
  EXPECT_EQ(list.count(), 6);
}

TEST_F(FileList, UnreadableFolderKeepsFolderAndEntries) {
  QTemporaryDir other;
  Touch(other.filePath(u"x.wav"_s));
  Controls::FileListBox list;
  ASSERT_TRUE(list.setPath(other.path()));
  EXPECT_FALSE(list.setPath(dir.filePath(u"missing"_s)));
  EXPECT_FALSE(list.setPath(dir.filePath(u"noext"_s)));
  EXPECT_FALSE(list.setPath(u""_s));
  EXPECT_EQ(QDir(list.path()), QDir(other.path()));
  ASSERT_TRUE(other.remove());
  EXPECT_FALSE(list.refresh());
  EXPECT_EQ(list.count(), 1);
  ASSERT_TRUE(QDir().mkpath(other.path()));
  EXPECT_TRUE(list.refresh());
  EXPECT_EQ(list.count(), 0);
}

TEST_F(FileList, SelectedFileName) {
  Controls::FileListBox list;
  list.setPattern(u"*.wav"_s);
  ASSERT_TRUE(list.setPath(dir.path()));
  EXPECT_EQ(list.selectedFileName(), u""_s);
  list.setCurrentRow(2);
  EXPECT_EQ(list.selectedFileName(), u"c.Wav"_s);
  EXPECT_EQ(list.fileName(99), u""_s);
  EXPECT_EQ(list.fileName(-1), u""_s);
  // A name that is not UTF-8: shown with the replacement character, handed on with its byte.
  list.setCurrentRow(5);
  EXPECT_EQ(list.currentItem()->text(), u"M\uFFFDrz.wav"_s);
  EXPECT_EQ(list.selectedFileName(), Latin1Name);
  // A click below the entries leaves the choice as it was.
  list.resize(200, 400);
  list.show();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 5));
  EXPECT_EQ(list.selectedFileName(), Latin1Name);
}

}  // namespace
