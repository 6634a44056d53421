// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_count.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "support/qt_printers.h"

namespace {

void MakeFile(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path;
  f.write("x");
}

void MakeLink(const QString& target, const QString& link) {
  ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0) << link;
}

struct CountCase {
  const char* name;
  std::function<void(const QString& dir)> fill;
  qint64 expected;
};

void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class CountFolderFilesTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountFolderFilesTest, CountsRegularVisibleFiles) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = tmp.path() + "/watched";
  ASSERT_TRUE(QDir().mkdir(dir));
  GetParam().fill(dir);
  EXPECT_EQ(Platform::CountFolderFiles(dir), std::optional<qint64>(GetParam().expected));
  // A trailing separator names the same folder.
  EXPECT_EQ(Platform::CountFolderFiles(dir + "/"), std::optional<qint64>(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CountFolderFilesTest,
    ::testing::Values(CountCase{"EmptyFolder", [](const QString&) {}, 0},
                      CountCase{"ThreeFiles",
                                [](const QString& d) {
                                  for (auto n : {"a.txt", "b", "Ünïcödé ♪.wav"}) MakeFile(d + "/" + n);
                                },
                                3},
                      CountCase{"HiddenFilesDoNotCount",
                                [](const QString& d) {
                                  MakeFile(d + "/.hidden");
                                  MakeFile(d + "/..also");
                                  MakeFile(d + "/shown");
                                },
                                1},
                      CountCase{"SubfoldersDoNotCount",
                                [](const QString& d) {
                                  QDir().mkdir(d + "/sub");
                                  QDir().mkdir(d + "/.hiddensub");
                                  MakeFile(d + "/sub/inner");
                                  MakeFile(d + "/file");
                                },
                                1},
                      CountCase{"LinkToFileCounts",
                                [](const QString& d) {
                                  MakeFile(d + "/../outside");
                                  MakeLink(d + "/../outside", d + "/link");
                                },
                                1},
                      CountCase{"VisibleLinkToHiddenFileCounts",
                                [](const QString& d) {
                                  MakeFile(d + "/.target");
                                  MakeLink(".target", d + "/visible");
                                },
                                1},
                      CountCase{"LinkToFolderDoesNotCount",
                                [](const QString& d) {
                                  QDir().mkdir(d + "/../elsewhere");
                                  MakeLink(d + "/../elsewhere", d + "/dirlink");
                                },
                                0},
                      CountCase{"DanglingLinkDoesNotCount",
                                [](const QString& d) { MakeLink(d + "/nowhere", d + "/dangling"); }, 0},
                      CountCase{"FifoDoesNotCount",
                                [](const QString& d) {
                                  ASSERT_EQ(::mkfifo(QFile::encodeName(d + "/pipe").constData(), 0600), 0);
                                  MakeFile(d + "/file");
                                },
                                1},
                      CountCase{"MoreThanA16BitCount",
                                [](const QString& d) {
                                  for (int i = 0; i < 40000; ++i) {
                                    QFile f(d + "/f" + QString::number(i));
                                    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                                  }
                                  QDir().mkdir(d + "/sub");
                                  MakeFile(d + "/.hidden");
                                },
                                40000}),
    [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

TEST(CountFolderFilesFailure, UnreadableFolderGivesNothing) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  MakeFile(tmp.path() + "/plain");
  EXPECT_EQ(Platform::CountFolderFiles(tmp.path() + "/missing"), std::nullopt);
  EXPECT_EQ(Platform::CountFolderFiles(tmp.path() + "/plain"), std::nullopt) << "a file is no folder";
  EXPECT_EQ(Platform::CountFolderFiles(QString()), std::nullopt);
  if (::geteuid() != 0) {  // root reads any folder
    const QString locked = tmp.path() + "/locked";
    ASSERT_TRUE(QDir().mkdir(locked));
    ::chmod(QFile::encodeName(locked).constData(), 0);
    EXPECT_EQ(Platform::CountFolderFiles(locked), std::nullopt);
    ::chmod(QFile::encodeName(locked).constData(), 0700);
  }
}

TEST(CountFolderFilesPaths, FolderReachedThroughALinkIsCounted) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QDir().mkdir(tmp.path() + "/real");
  MakeFile(tmp.path() + "/real/a");
  MakeFile(tmp.path() + "/real/b");
  MakeLink(tmp.path() + "/real", tmp.path() + "/alias");
  EXPECT_EQ(Platform::CountFolderFiles(tmp.path() + "/alias"), std::optional<qint64>(2));
}

}  // namespace
