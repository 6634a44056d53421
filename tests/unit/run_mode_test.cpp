// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/run_mode.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "commands/commands.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

using Commands::RunMode;

const QString Admin = u"/usr/lib/foldwarn/foldwarn.ini"_s;
const QString User = u"/home/u/.config/foldwarn/foldwarn.ini"_s;
const QString UserTones = u"/home/u/.local/share/foldwarn/"_s;
const QString Program = u"/usr/lib/foldwarn/"_s;
const QString Home = u"/home/u/"_s;

TEST(ChoosePlaces, ByPackageWritableProgramFolderAndUserFile) {
  struct Row {
    const char* name;
    bool installed, programWritable, userExists;
    RunMode mode;
    QString read, write, tones, watched;
  };
  const Row rows[] = {
      {"PortableIgnoresUserFile", false, true, true, RunMode::Portable, Admin, Admin, u""_s, Program},
      {"Portable", false, true, false, RunMode::Portable, Admin, Admin, u""_s, Program},
      {"InstalledReadsUserFile", false, false, true, RunMode::Installed, User, User, UserTones, Home},
      {"InstalledFirstStartReadsAdminFile", false, false, false, RunMode::Installed, Admin, User, UserTones, Home},
      // Root may write the program's folder: still his own file, the administrator's only as defaults.
      {"PackagedRunAsRoot", true, true, false, RunMode::Installed, Admin, User, UserTones, Home},
  };
  for (const Row& r : rows) {
    const Commands::Places p =
        Commands::ChoosePlaces({r.installed, Admin, r.programWritable, User, r.userExists, UserTones, Program, Home});
    EXPECT_EQ(p.mode, r.mode) << r.name;
    EXPECT_EQ(p.settingsRead, r.read) << r.name;
    EXPECT_EQ(p.settingsWrite, r.write) << r.name;
    EXPECT_EQ(p.userToneFolder, r.tones) << r.name;
    EXPECT_EQ(p.defaultFolder, r.watched) << r.name;
    EXPECT_EQ(p.programFolder, Program) << r.name;
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
  // One folder: its file, without a look at the disk.
  EXPECT_EQ(Commands::LocateTone(u"a.wav"_s, {u"/prog/"_s}, [](const QString&) -> bool { throw 0; }), u"/prog/a.wav"_s);
}

// Installed: a bare name is the user's tone when they have one of that name, else the program's.
TEST(ToneFile, UsersToneFirst) {
  QTemporaryDir program, user;
  for (const QString& file : {program.filePath("add.wav"), program.filePath("remove.wav"), user.filePath("add.wav"),
                              user.filePath("mine.wav")}) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  const QString programFolder = program.path() + u'/';
  const QString userFolder = user.path() + u'/';
  EXPECT_EQ(Commands::ToneFile("add.wav", programFolder, userFolder), user.filePath("add.wav"));
  EXPECT_EQ(Commands::ToneFile("mine.wav", programFolder, userFolder), user.filePath("mine.wav"));
  EXPECT_EQ(Commands::ToneFile("remove.wav", programFolder, userFolder), program.filePath("remove.wav"));
  EXPECT_EQ(Commands::ToneFile("gone.wav", programFolder, userFolder), program.filePath("gone.wav"));
  EXPECT_EQ(Commands::ToneFile("add.wav", programFolder, QString()), program.filePath("add.wav"));
}

}  // namespace
