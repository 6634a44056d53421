// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/file_list_view.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "controls/file_list_box.h"
#include "support/files.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

QStringList Entries(Controls::FileListView& list) {
  EXPECT_TRUE(QTest::qWaitFor([&] { return !list.isFilling(); }));
  QStringList names;
  for (int i = 0; i < list.listCount(); ++i) names << list.fileName(i);
  return names;
}

QStringList MakeFiles(const QString& folder, int count) {
  QStringList names;
  for (int i = 0; i < count; ++i) {
    names << u"f%1"_s.arg(i, 6, 10, QChar(u'0'));
    Touch(folder + u'/' + names.last());
  }
  return names;
}

// What the picker's list shows is what the tone lists show without a pattern: the same names in the same order.
TEST(FileListView, ShowsWhatTheFileListShows) {
  QTemporaryDir dir;
  const QString mixed = dir.filePath(u"mixed"_s), names = dir.filePath(u"names"_s), empty = dir.filePath(u"empty"_s);
  for (const QString& folder : {mixed, names, empty}) ASSERT_TRUE(QDir().mkpath(folder));
  for (const char* name : {"b.wav", "A.wav", "LOUD.WAV", ".hidden.wav", "noext"})
    Touch(mixed + u'/' + QLatin1StringView(name));
  ASSERT_TRUE(QDir(mixed).mkdir(u"folder.wav"_s));
  ASSERT_TRUE(QDir(mixed).mkdir(u".dotfolder"_s));
  ASSERT_EQ(::mkfifo(QFile::encodeName(mixed + u"/pipe.wav"_s).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(mixed + u"/b.wav"_s, mixed + u"/link.wav"_s));
  ASSERT_TRUE(QFile::link(mixed + u"/nowhere"_s, mixed + u"/broken.wav"_s));
  ASSERT_TRUE(QFile::link(mixed + u"/folder.wav"_s, mixed + u"/dirlink"_s));
  for (const QString& name : {u"Zebra"_s, u"äpfel"_s, u"Ärger"_s, u"apfel"_s, u"_unter"_s, u"10"_s, u"9"_s, u"Émile"_s})
    Touch(names + u'/' + name);

  struct Case {
    const char* name;
    QString folder;
    QStringList entries;
  };
  const Case cases[] = {
      {"kinds: files and links to files only",
       mixed,
       {u"A.wav"_s, u"b.wav"_s, u"link.wav"_s, u"LOUD.WAV"_s, u"noext"_s}},
      {"names: case and letters beyond ASCII",
       names,
       {u"10"_s, u"9"_s, u"_unter"_s, u"apfel"_s, u"Zebra"_s, u"äpfel"_s, u"Ärger"_s, u"Émile"_s}},
      {"empty folder", empty, {}},
      {"missing folder", dir.filePath(u"gone"_s), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Controls::FileListView view;
    QSignalSpy filled(&view, &Controls::FileListView::filled);
    view.setPath(c.folder);
    EXPECT_EQ(view.path(), c.folder);
    EXPECT_EQ(Entries(view), c.entries);
    EXPECT_EQ(filled.count(), 1);
    Controls::FileListBox box;
    if (box.setPath(c.folder)) {
      QStringList shown;
      for (int i = 0; i < box.count(); ++i) shown << box.fileName(i);
      EXPECT_EQ(shown, c.entries);
    }
  }
}

TEST(FileListView, RowsArriveInBatchesAndAFolderChangeDropsTheRunningFill) {
  QTemporaryDir dir;
  const QString big = dir.filePath(u"big"_s), small = dir.filePath(u"small"_s);
  ASSERT_TRUE(QDir().mkpath(big));
  ASSERT_TRUE(QDir().mkpath(small));
  const int perBatch = 5, many = 2 * perBatch + 1;
  const QStringList bigNames = MakeFiles(big, many);
  Touch(small + u"/only"_s);

  Controls::FileListView view;
  view.setBatchRows(perBatch);
  QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
  view.setPath(big);
  EXPECT_EQ(Entries(view), bigNames);
  EXPECT_EQ(inserted.count(), 3);
  EXPECT_EQ(inserted.at(1).at(1).toInt(), perBatch);

  // Straight on to another folder while the first is still being read: nothing of the first arrives any more.
  view.setPath(big);
  view.setPath(small);
  inserted.clear();
  EXPECT_EQ(Entries(view), QStringList{u"only"_s});
  QTest::qWait(50);
  EXPECT_EQ(view.listCount(), 1);
  EXPECT_EQ(inserted.count(), 1);

  view.setPath(big);
  view.clear();
  QTest::qWait(50);
  EXPECT_FALSE(view.isFilling());
  EXPECT_EQ(view.listCount(), 0);
}

}  // namespace
