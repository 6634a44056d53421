#include "commands/run_mode.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "commands/commands.h"
#include "commands/settings.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

using Commands::RunMode;

const QString Admin = u"/usr/lib/foldwarn/foldwarn.ini"_s;
const QString User = u"/home/u/.config/foldwarn/foldwarn.ini"_s;
const QString UserTones = u"/home/u/.local/share/foldwarn/"_s;

TEST(ChoosePlaces, ByWritableProgramFolderAndUserFile) {
  struct Row {
    const char* name;
    bool programWritable, userExists;
    RunMode mode;
    QString read, write, tones;
  };
  const Row rows[] = {
      {"PortableIgnoresUserFile", true, true, RunMode::Portable, Admin, Admin, u""_s},
      {"Portable", true, false, RunMode::Portable, Admin, Admin, u""_s},
      {"InstalledReadsUserFile", false, true, RunMode::Installed, User, User, UserTones},
      {"InstalledFirstStartReadsAdminFile", false, false, RunMode::Installed, Admin, User, UserTones},
  };
  for (const Row& r : rows) {
    const Commands::Places p = Commands::ChoosePlaces({Admin, r.programWritable, User, r.userExists, UserTones});
    EXPECT_EQ(p.mode, r.mode) << r.name;
    EXPECT_EQ(p.settingsRead, r.read) << r.name;
    EXPECT_EQ(p.settingsWrite, r.write) << r.name;
    EXPECT_EQ(p.userToneFolder, r.tones) << r.name;
  }
}

TEST(LocateTone, UserFolderFirstThenProgramFolder) {
  const QStringList folders{u"/user/"_s, u"/prog/"_s};
  struct Row {
    const char* name;
    QSet<QString> present;
    QString expected;
  };
  const Row rows[] = {
      {"OnlyProgram", {u"/prog/a.wav"_s}, u"/prog/a.wav"_s},
      {"OnlyUser", {u"/user/a.wav"_s}, u"/user/a.wav"_s},
      {"BothUserWins", {u"/prog/a.wav"_s, u"/user/a.wav"_s}, u"/user/a.wav"_s},
      {"NeitherNamesProgramFile", {}, u"/prog/a.wav"_s},
  };
  for (const Row& r : rows) {
    const auto exists = [&](const QString& f) { return r.present.contains(f); };
    EXPECT_EQ(Commands::LocateTone(u"a.wav"_s, folders, exists), r.expected) << r.name;
  }
  EXPECT_EQ(Commands::LocateTone(u"a.wav"_s, {u"/prog/"_s}, [](const QString&) { return false; }), u"/prog/a.wav"_s);
}

// Installed: the administrator's file gives the values until the user's own exists; writes go to the user's
// file, never to the administrator's.
TEST(InstalledSettings, ReadFromSourceWrittenToUserFile) {
  QTemporaryDir dir;
  const QString admin = dir.filePath(u"prog/foldwarn.ini"_s);
  const QString user = dir.filePath(u"config/foldwarn/foldwarn.ini"_s);
  ASSERT_TRUE(QDir().mkpath(dir.filePath(u"prog"_s)));
  Commands::AppFolder = dir.filePath(u"prog/"_s);
  Commands::SettingsSection = u"Divuvadi Foldwarn"_s;
  struct Row {
    const char* name;
    bool adminExists;
    QString zeit;
  };
  for (const Row& r : {Row{"AdminDefaults", true, u"17"_s}, Row{"NoAdminFile", false, u"60"_s}}) {
    QFile::remove(admin);
    if (r.adminExists) {
      QFile f(admin);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write("[Divuvadi Foldwarn]\nZeit=17\naddSound=ping.wav\n");
    }
    Commands::SettingsSource = admin;
    Commands::SettingsFile = user;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"config/foldwarn"_s)));
    Commands::Settings s = Commands::ReadSettings();
    EXPECT_EQ(s.interval, r.zeit) << r.name;
    s.interval = u"5"_s;
    Commands::WriteSettings(s);
    Commands::SettingsSource = user;
    EXPECT_EQ(Commands::ReadSettings().interval, u"5"_s) << r.name;
    EXPECT_EQ(Commands::ReadSettings().addSound, r.adminExists ? u"ping.wav"_s : u"add.wav"_s) << r.name;
    if (r.adminExists) {
      Commands::SettingsSource = admin;
      EXPECT_EQ(Commands::ReadSettings().interval, u"17"_s) << r.name;
    }
    ASSERT_TRUE(QFile::remove(user));
  }
  for (QString* v :
       {&Commands::AppFolder, &Commands::SettingsSection, &Commands::SettingsSource, &Commands::SettingsFile})
    v->clear();
}

}  // namespace
