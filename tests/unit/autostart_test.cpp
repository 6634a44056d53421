// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

class Autostart : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QByteArray savedConfig, savedHome;
  void SetUp() override {
    savedConfig = qgetenv("XDG_CONFIG_HOME");
    savedHome = qgetenv("HOME");
    qputenv("HOME", dir.filePath(u"home"_s).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toLocal8Bit());
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", savedConfig);
    qputenv("HOME", savedHome);
  }
  static QString Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  // desktop-file-validate's complaints, empty when the entry is valid.
  static QString Validate(const QString& path) {
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {path});
    if (!validate.waitForFinished(30000)) return u"desktop-file-validate did not run"_s;
    const QString said = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
    return validate.exitCode() == 0 && said.isEmpty() ? QString() : said;
  }
};

// The Exec line must give a launcher back the same path, whatever the folder is called.
TEST_F(Autostart, ExecNamesTheProgramWhateverItsPath) {
  struct Case {
    const char* name;
    QString program, exec;
  };
  const Case cases[] = {
      {"plain", u"/usr/lib/foldwarn/foldwarn"_s, u"/usr/lib/foldwarn/foldwarn"_s},
      {"blank", u"/home/anna/Meine Programme/foldwarn"_s, u"\"/home/anna/Meine Programme/foldwarn\""_s},
      {"percent", u"/opt/100%/foldwarn"_s, u"/opt/100%%/foldwarn"_s},
      {"dollar", u"/opt/$HOME/foldwarn"_s, u"\"/opt/\\\\$HOME/foldwarn\""_s},
      {"backslash", u"/opt/a\\b/foldwarn"_s, u"\"/opt/a\\\\\\\\b/foldwarn\""_s},
      {"double quote", u"/opt/\"q\"/foldwarn"_s, u"\"/opt/\\\\\"q\\\\\"/foldwarn\""_s},
      {"single quote", u"/opt/it's/foldwarn"_s, u"\"/opt/it's/foldwarn\""_s},
      {"backtick", u"/opt/`x`/foldwarn"_s, u"\"/opt/\\\\`x\\\\`/foldwarn\""_s},
      {"umlaut", u"/home/jürgen/foldwarn"_s, u"/home/jürgen/foldwarn"_s},
      {"equals and comma", u"/opt/a=b,c/foldwarn"_s, u"/opt/a=b,c/foldwarn"_s},
  };
  for (const Case& c : cases) {
    QString error;
    ASSERT_TRUE(Platform::SetAutostart(true, c.program, &error)) << c.name << ": " << error.toStdString();
    const QString entry = Platform::AutostartEntryFile();
    EXPECT_TRUE(Read(entry).contains(u"\nExec="_s + c.exec + u'\n')) << c.name << ":\n" << Read(entry).toStdString();
    EXPECT_EQ(Validate(entry), QString()) << c.name;
  }
}

TEST_F(Autostart, OnWritesTheEntryOffRemovesIt) {
  const QString entry = dir.filePath(u"config/autostart/foldwarn.desktop"_s);
  ASSERT_EQ(Platform::AutostartEntryFile(), entry);
  QString error;
  EXPECT_TRUE(Platform::SetAutostart(false, u"/usr/lib/foldwarn/foldwarn"_s, &error)) << "off with no entry";
  ASSERT_TRUE(Platform::SetAutostart(true, u"/usr/lib/foldwarn/foldwarn"_s, &error)) << error.toStdString();
  EXPECT_TRUE(QFileInfo(entry).isFile());
  // A config home made here is its owner's alone.
  EXPECT_EQ(QFileInfo(dir.filePath(u"config"_s)).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
  ASSERT_TRUE(Platform::SetAutostart(true, u"/usr/lib/foldwarn/foldwarn"_s, &error)) << "on twice";
  ASSERT_TRUE(Platform::SetAutostart(false, u"/usr/lib/foldwarn/foldwarn"_s, &error)) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(entry));
  EXPECT_TRUE(QFileInfo(dir.filePath(u"config/autostart"_s)).isDir()) << "the folder is the desktop's, it stays";
}

TEST_F(Autostart, ConfigHomeFromTheEnvironment) {
  struct Case {
    const char* name;
    QByteArray config;
    QString entry;
  };
  const Case cases[] = {
      {"set", dir.filePath(u"elsewhere"_s).toLocal8Bit(), dir.filePath(u"elsewhere/autostart/foldwarn.desktop"_s)},
      {"unset", QByteArray(), dir.filePath(u"home/.config/autostart/foldwarn.desktop"_s)},
      {"relative is ignored", "relative/config", dir.filePath(u"home/.config/autostart/foldwarn.desktop"_s)},
  };
  for (const Case& c : cases) {
    if (c.config.isNull())
      qunsetenv("XDG_CONFIG_HOME");
    else
      qputenv("XDG_CONFIG_HOME", c.config);
    EXPECT_EQ(Platform::AutostartEntryFile(), c.entry) << c.name;
  }
}

TEST_F(Autostart, FailureIsSaid) {
  Touch(dir.filePath(u"config"_s));  // a file where the config folder should be
  QString error;
  EXPECT_FALSE(Platform::SetAutostart(true, u"/usr/lib/foldwarn/foldwarn"_s, &error));
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_FALSE(Platform::SetAutostart(true, QString(), &error)) << "no program to start";
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
