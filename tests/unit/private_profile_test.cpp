// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/private_profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <functional>

#include "support/qt_printers.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

namespace {

class ProfileFile : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path = dir.filePath("foldwarn.ini");

  void write(const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray contents() {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

TEST_F(ProfileFile, RoundTripsValues) {
  const QString values[] = {u"60"_s,        u"/srv/scans/Eingang mit Leerzeichen/"_s,
                            u"Grüße ß €"_s, u"a=b;c[d]"_s,
                            u"add.wav"_s,   QString(5000, u'x')};
  for (const QString& value : values) {
    ASSERT_TRUE(Commands::WriteProfileString("Divuvadi Foldwarn", "LetzterPfad", value, path)) << value.left(40);
    EXPECT_EQ(Commands::ReadProfileString("Divuvadi Foldwarn", "LetzterPfad", path), value);
  }
  // Repeated writes replaced one line instead of adding more.
  EXPECT_EQ(contents().count("LetzterPfad"), 1);
}

// Written in one step, as if one after the other.
TEST_F(ProfileFile, KeysAppearInTheOrderFirstWritten) {
  write("[Divuvadi Foldwarn]\nZeit=1");
  QList<Commands::ProfileEntry> entries;
  for (const char* key : {"LetzterPfad", "Zeit", "addSound", "removeSound"}) entries.append({key, u"x"_s});
  ASSERT_EQ(Commands::WriteProfileStrings("Divuvadi Foldwarn", entries, path).state, Platform::WriteState::Done);
  EXPECT_EQ(contents(), "[Divuvadi Foldwarn]\nZeit=x\nLetzterPfad=x\naddSound=x\nremoveSound=x\n");
}

TEST_F(ProfileFile, MissingFileReadsNothingAndIsCreatedOnWrite) {
  EXPECT_EQ(Commands::ReadProfileString("S", "k", path), std::nullopt);
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(Commands::WriteProfileString("S", "k", "v", path));
  EXPECT_EQ(Commands::ReadProfileString("S", "k", path), u"v"_s);
}

TEST_F(ProfileFile, RefusedWritesLeaveTheFileUntouched) {
  const QByteArray before = "; mine\n[S]\nk=1\n";
  write(before);
  struct Refused {
    const char* section;
    const char* key;
    QString value;
  };
  const Refused refused[] = {{"S", "k", u"line\nbreak"_s},
                             {"S", "k", u"cr\rx"_s},
                             {"S", "k", QString(1, QChar(0))},
                             {"S", "k=j", u"v"_s},
                             {"S]", "k", u"v"_s},
                             {"", "k", u"v"_s},
                             {"S", "", u"v"_s},
                             {"S", " k", u"v"_s},
                             {" S", "k", u"v"_s},
                             {"S", ";k", u"v"_s},
                             {"S", "[k", u"v"_s}};
  for (const Refused& r : refused) {
    EXPECT_FALSE(Commands::WriteProfileString(r.section, r.key, r.value, path)) << r.section << "/" << r.key;
    EXPECT_EQ(contents(), before);
  }
}

TEST_F(ProfileFile, FolderInsteadOfFile) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("foldwarn.ini"));
  EXPECT_EQ(Commands::ReadProfileString("S", "k", path), std::nullopt);
  EXPECT_FALSE(Commands::WriteProfileString("S", "k", "v", path));
  EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(ProfileFile, MissingFolderFailsQuietly) {
  const QString inMissing = dir.filePath("gone/foldwarn.ini");
  EXPECT_FALSE(Commands::WriteProfileString("S", "k", "v", inMissing));
  EXPECT_EQ(Commands::ReadProfileString("S", "k", inMissing), std::nullopt);
}

TEST_F(ProfileFile, WriteThroughSymlinkKeepsTheLink) {
  const QString real = dir.filePath("real.ini");
  QFile f(real);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[S]\nk=1\n");
  f.close();
  ASSERT_TRUE(QFile::link(real, path));
  ASSERT_TRUE(Commands::WriteProfileString("S", "k", "2", path));
  EXPECT_TRUE(QFileInfo(path).isSymLink());
  EXPECT_EQ(Commands::ReadProfileString("S", "k", real), u"2"_s);
}

// A write that fails half-way (here: the file size limit hit) must leave the old file as it was.
TEST_F(ProfileFile, FailedWriteLeavesOldFileIntact) {
  const QByteArray before = "[S]\nk=short\n";
  write(before);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = Commands::WriteProfileString("S", "k", QString(4096, u'y'), path);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(contents(), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"foldwarn.ini"});
}

TEST_F(ProfileFile, HugeGarbageFileStaysReadableAndIsKeptOnWrite) {
  QByteArray garbage(50 * 1024 * 1024, '\0');
  quint32 seed = 12345;
  for (char& c : garbage) {
    seed = seed * 1664525u + 1013904223u;
    c = char(seed >> 24);
  }
  write(garbage);
  EXPECT_EQ(Commands::ReadProfileString("Divuvadi Foldwarn", "Zeit", path), std::nullopt);
  ASSERT_TRUE(Commands::WriteProfileString("Divuvadi Foldwarn", "Zeit", "30", path));
  const QByteArray after = contents();
  EXPECT_TRUE(after.startsWith(garbage));
  EXPECT_EQ(Commands::ReadProfileString("Divuvadi Foldwarn", "Zeit", path), u"30"_s);
}

// What the file had before a write is still there afterwards. Runs as root; `asNobody` writes as another user.
TEST_F(ProfileFile, WriteKeepsWhatTheFileHad) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand files to another user";
  const QByteArray real = QFile::encodeName(dir.filePath("real/foldwarn.ini"));
  const QByteArray ini = QFile::encodeName(path);
  struct stat st {};
  auto inode = [&](const QByteArray& p) { return ::stat(p.constData(), &st) == 0 ? st.st_ino : 0; };
  struct Case {
    const char* name;
    bool asNobody;
    std::function<void()> prepare;
    std::function<void()> check;  // after the write succeeded
  };
  ino_t before = 0;
  const Case cases[] = {
      {"Group", false, [&] { ASSERT_EQ(::chown(ini, 0, 65534), 0); },
       [&] {
         ASSERT_EQ(::stat(ini, &st), 0);
         EXPECT_EQ(st.st_gid, 65534u);
       }},
      {"ExtendedAttribute", false, [&] { ASSERT_EQ(::setxattr(ini, "user.mark", "x", 1, 0), 0); },
       [&] {
         char value[4] = {};
         EXPECT_EQ(::getxattr(ini, "user.mark", value, sizeof value), 1);
       }},
      {"HardLink", false, [&] { ASSERT_EQ(::link(ini, QFile::encodeName(dir.filePath("twin.ini"))), 0); },
       [&] { EXPECT_EQ(Commands::ReadProfileString("S", "k", dir.filePath("twin.ini")), u"2"_s); }},
      {"FolderTakesNoNewFile", true,
       [&] {
         ASSERT_EQ(::chown(ini, 65534, 65534), 0);
         before = inode(ini);
       },
       [&] { EXPECT_EQ(inode(ini), before); }},
      {"SymlinkChain", false,
       [&] {
         ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
         ASSERT_TRUE(QFile::rename(path, QFile::decodeName(real)));
         ASSERT_EQ(::symlink("real/foldwarn.ini", QFile::encodeName(dir.filePath("mid.ini")).constData()), 0);
         ASSERT_EQ(::symlink("mid.ini", ini.constData()), 0);
       },
       [&] {
         EXPECT_TRUE(QFileInfo(dir.filePath("mid.ini")).isSymLink());
         EXPECT_EQ(Commands::ReadProfileString("S", "k", QFile::decodeName(real)), u"2"_s);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
      std::filesystem::remove_all(entry.path());
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()), 0755), 0);
    write("[S]\nk=1\n");
    c.prepare();
    bool written = false;
    {
      std::optional<ScopedUnprivileged> nobody;
      if (c.asNobody) nobody.emplace();
      if (c.asNobody && !nobody->active()) GTEST_SKIP() << "cannot act as another user";
      written = Commands::WriteProfileString("S", "k", "2", path);
    }
    EXPECT_TRUE(written);
    EXPECT_EQ(Commands::ReadProfileString("S", "k", path), u"2"_s);
    c.check();
  }
}

}  // namespace
