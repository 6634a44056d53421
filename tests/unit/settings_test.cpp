// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "commands/commands.h"
#include "commands/run_mode.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

class Settings : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString file = dir.filePath("foldwarn.ini");
  void write(const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
};

TEST_F(Settings, ReadSettingFallsBackToTheDefault) {
  struct Case {
    const char* name;
    QByteArray file;
    QString expected;
  };
  const Case cases[] = {{"Stored", "[Divuvadi Foldwarn]\naddSound=ping.wav\n", u"ping.wav"_s},
                        {"EmptyValue", "[Divuvadi Foldwarn]\naddSound=\n", u"add.wav"_s},
                        {"BlankValue", "[Divuvadi Foldwarn]\naddSound=   \n", u"add.wav"_s},
                        {"MissingKey", "[Divuvadi Foldwarn]\nZeit=5\n", u"add.wav"_s},
                        {"MissingSection", "[Other]\naddSound=x.wav\n", u"add.wav"_s},
                        {"Garbage", "\x89PNG\r\n\x1a\n\0\0", u"add.wav"_s}};
  for (const Case& c : cases) {
    write(c.file);
    EXPECT_EQ(Commands::ReadSetting("Divuvadi Foldwarn", "addSound", file, "add.wav"), c.expected) << c.name;
  }
  EXPECT_EQ(Commands::ReadSetting("Divuvadi Foldwarn", "addSound", dir.filePath("none.ini"), "add.wav"), u"add.wav"_s);
}

TEST_F(Settings, LongValuesReadCutTo2047Characters) {
  write("[S]\nk=" + QByteArray(5000, 'a') + "\nj=" + QByteArray(2046, 'b') + "\xF0\x9F\x94\x94" + "\n");
  EXPECT_EQ(Commands::ReadSetting("S", "k", file, "d"), QString(2047, u'a'));
  // A character outside the basic plane at the cut is dropped whole, never halved.
  EXPECT_EQ(Commands::ReadSetting("S", "j", file, "d"), QString(2046, u'b'));
}

TEST_F(Settings, WriteSettingStores) {
  Commands::WriteSetting("Divuvadi Foldwarn", "Zeit", "30", file);
  EXPECT_EQ(Commands::ReadSetting("Divuvadi Foldwarn", "ZEIT", file, "60"), u"30"_s);
  // An unwritable place loses the value silently.
  Commands::WriteSetting("Divuvadi Foldwarn", "Zeit", "30", dir.filePath("gone/x.ini"));
  EXPECT_FALSE(QFile::exists(dir.filePath("gone/x.ini")));
}

// A save that fails says so on standard error, naming the file and why; one that lands says nothing.
TEST_F(Settings, FailedSaveSaysWhereAndWhy) {
  write("[Divuvadi Foldwarn]\n");
  const struct {
    QString target;
    bool saved;
    std::string line;
  } cases[] = {
      {file, true, ""},
      {file + u"/foldwarn.ini"_s, false,
       "foldwarn: the settings were not saved to " + (file + u"/foldwarn.ini"_s).toStdString() + ": Not a directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target.toStdString());
    testing::internal::CaptureStderr();
    EXPECT_EQ(Commands::WriteSettings(c.target, Commands::Settings{}), c.saved);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
  }
}

TEST(ProgramSettingsFile, NamesTheFileAfterTheProgram) {
  struct Case {
    QString appFolder, exeName, expected;
  };
  const Case cases[] = {{u"/opt/foldwarn/"_s, u"foldwarn"_s, u"/opt/foldwarn/foldwarn.ini"_s},
                        {u"/opt/foldwarn/"_s, u"Foldwarn-2"_s, u"/opt/foldwarn/Foldwarn-2.ini"_s},
                        {u"/"_s, u"fw"_s, u"/fw.ini"_s}};
  for (const Case& c : cases) EXPECT_EQ(Commands::ProgramSettingsFile(c.appFolder, c.exeName), c.expected);
  EXPECT_EQ(Commands::SettingsSectionName, u"Divuvadi Foldwarn"_s);
}

}  // namespace
