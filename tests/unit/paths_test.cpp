// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "commands/commands.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

TEST(AddBackslash, AppendsToTheCallersVariable) {
  struct Case {
    QString in, out;
  };
  const Case cases[] = {{u""_s, u"/"_s},
                        {u"/"_s, u"/"_s},
                        {u"/srv/scans"_s, u"/srv/scans/"_s},
                        {u"/srv/scans/"_s, u"/srv/scans/"_s},
                        {u"C:\\Daten"_s, u"C:\\Daten/"_s}};
  for (const Case& c : cases) {
    QString variable = c.in;
    EXPECT_EQ(Commands::AddBackslash(variable), c.out) << c.in;
    EXPECT_EQ(variable, c.out) << c.in;
  }
}

class PathHelpers : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString at(const QString& name) { return dir.filePath(name); }
  void SetUp() override {
    ASSERT_TRUE(QDir(dir.path()).mkdir("empty"));
    QFile f(at("file.wav"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF");
    ASSERT_EQ(mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
  }
};

TEST_F(PathHelpers, FolderExists) {
  struct Case {
    QString path;
    bool exists;
  };
  const Case cases[] = {{at("empty"), true},
                        {at("empty/"), true},
                        {dir.path(), true},
                        {u"/"_s, true},
                        {u""_s, true},
                        {at("missing"), false},
                        {at("missing/"), false},
                        {at("file.wav"), false},
                        {at("file.wav/"), false},
                        {at("pipe"), false},
                        {at("empty") + QChar(0) + u"x"_s, false}};
  for (const Case& c : cases) EXPECT_EQ(Commands::FolderExists(c.path), c.exists) << c.path;
}

TEST_F(PathHelpers, FileExists) {
  struct Case {
    QString path;
    bool exists;
  };
  // The pipe has no writer: answering must not wait for one.
  const Case cases[] = {{at("file.wav"), true}, {at("empty"), false}, {at("missing.wav"), false},
                        {u""_s, false},         {at("pipe"), false},  {at("file.wav") + QChar(0), false}};
  for (const Case& c : cases) EXPECT_EQ(Commands::FileExists(c.path), c.exists) << c.path;
}

TEST(GetLongPath, LinuxPathsComeBackUnchanged) {
  for (const QString& path : {u"/usr/lib/MiXeD case/Tool.EXE"_s, u"/"_s, u"relative/x"_s, u""_s})
    EXPECT_EQ(Commands::GetLongPath(path), path);
}

}  // namespace
