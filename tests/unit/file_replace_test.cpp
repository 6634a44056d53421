// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "commands/private_profile.h"
#include "commands/settings.h"
#include "platform/paths.h"
#include "support/qt_printers.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

namespace {

constexpr uid_t Nobody = 65534;

QByteArray Contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

// Sets the time of the last change, of a link itself where it is one.
void Age(const QString& file, time_t seconds) {
  const timespec times[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

QStringList Names(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

pid_t GoneProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// Beside the settings file, a save removes only what an earlier save of it surely left: the exact shape of the
// writer's temporary file, a file of the user's own, a few minutes old, from a process that is gone.
TEST(FileReplace, LeftoverSweepRemovesOnlyAbandonedTemporaryFiles) {
  enum Kind { File, FreshFile, OtherUsersFile, Link, Folder };
  struct Case {
    const char* name;
    QString entry;
    Kind kind;
    bool removed;
  };
  const QString gone = QString::number(GoneProcess());
  const QString own = QString::number(::getpid());
  const QString random = u"0123456789abz"_s;
  const QString temp = u"foldwarn.ini.tmp-"_s;
  const Case cases[] = {
      {"AbandonedByAGoneProcess", temp + gone + u'-' + random, File, true},
      {"FromAnEarlierRunWithOurProcessId", temp + own + u"-zzzzzzzzzzzzz"_s, File, true},
      {"YoungerThanAFewMinutes", temp + gone + u"-0000000000000"_s, FreshFile, false},
      {"ProcessStillRunning", temp + u"1-"_s + random, File, false},
      {"DateOnly", u"foldwarn.ini.tmp-20240105"_s, File, false},
      {"WordsInsteadOfRandom", u"foldwarn.ini.tmp-4000000-before-upgrade"_s, File, false},
      {"OtherCase", u"FOLDWARN.INI.TMP-"_s + gone + u'-' + random, File, false},
      {"CapitalsInRandom", temp + gone + u"-0123456789ABZ"_s, File, false},
      {"RandomTooShort", temp + gone + u"-0123456789ab"_s, File, false},
      {"RandomTooLong", temp + gone + u"-0123456789abzz"_s, File, false},
      {"LeadingZero", temp + u'0' + gone + u'-' + random, File, false},
      {"Suffix", temp + gone + u'-' + random + u".bak"_s, File, false},
      {"AnotherFilesTemporary", u"other.ini.tmp-"_s + gone + u'-' + random, File, false},
      {"SymbolicLink", temp + gone + u"-1111111111111"_s, Link, false},
      {"Folder", temp + gone + u"-2222222222222"_s, Folder, false},
      {"AnotherUsersFile", temp + gone + u"-3333333333333"_s, OtherUsersFile, false},
  };
  QTemporaryDir dir;
  const QString settings = dir.filePath(u"foldwarn.ini"_s);
  Put(settings, "[S]\nk=1\n");
  for (const Case& c : cases) {
    const QString path = dir.filePath(c.entry);
    if (c.kind == OtherUsersFile && ::geteuid() != 0) continue;  // only root can hand a file to another user
    if (c.kind == Link) {
      ASSERT_TRUE(QFile::link(u"foldwarn.ini"_s, path));
    } else if (c.kind == Folder) {
      ASSERT_TRUE(QDir().mkdir(path));
    } else {
      Put(path, "half a save");
      if (c.kind == OtherUsersFile) ASSERT_EQ(::chown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
    }
    if (c.kind != FreshFile) Age(path, 10 * 60);
  }
  ASSERT_EQ(Platform::ReplaceFileContents(settings, "[S]\nk=2\n").state, Platform::WriteState::Done);
  for (const Case& c : cases) {
    if (c.kind == OtherUsersFile && ::geteuid() != 0) continue;
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(dir.filePath(c.entry)).constData(), &st) != 0, c.removed) << c.name;
  }
  EXPECT_EQ(Contents(settings), "[S]\nk=2\n");
}

// A full volume is a failed write: the settings file stays byte for byte and no temporary file is left. The
// volume is a tmpfs of one page; the settings file is reached through a link from outside it.
TEST(FileReplace, FullVolumeLeavesTheFileAsItWas) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
  struct Case {
    const char* name;
    int inodes;     // the volume's root folder takes one, a hard link another
    bool hardLink;  // a second name makes the writer rewrite in place
    const char* value;
  };
  const QByteArray longer(200, '9');
  // A shorter text would fit in place: a full volume must still not send the write there.
  const Case cases[] = {
      {"NoInodeForTheTemporaryFile", 2, false, longer.constData()},
      {"NoInodeForTheTemporaryFileShorterText", 2, false, "1"},
      {"NoBlockForTheTemporaryFile", 3, false, longer.constData()},
      {"NoBlockForTheTemporaryFileShorterText", 3, false, "1"},
      {"HardLinkedRewrittenInPlace", 3, true, longer.constData()},
  };
  const QByteArray head = "[Divuvadi Foldwarn]\nLetzterPfad=/srv/";
  const QByteArray tail = "/\nZeit=60\naddSound=add.wav\nremoveSound=remove.wav\n; end\n";
  const QByteArray before = head + QByteArray(4090 - head.size() - tail.size(), 'x') + tail;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString volume = dir.filePath(u"volume"_s);
    ASSERT_TRUE(QDir().mkdir(volume));
    const QByteArray options = "size=4k,nr_inodes=" + QByteArray::number(c.inodes);
    if (::mount("tmpfs", QFile::encodeName(volume).constData(), "tmpfs", 0, options.constData()) != 0)
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    const QString real = volume + u"/foldwarn.ini"_s;
    Put(real, before);
    if (c.hardLink) ASSERT_EQ(::link(QFile::encodeName(real), QFile::encodeName(volume + u"/twin.ini"_s)), 0);
    const QString settings = dir.filePath(u"foldwarn.ini"_s);
    ASSERT_TRUE(QFile::link(real, settings));

    EXPECT_FALSE(
        Commands::WriteProfileString(u"Divuvadi Foldwarn"_s, u"Zeit"_s, QString::fromLatin1(c.value), settings));
    EXPECT_EQ(Contents(real), before);
    EXPECT_EQ(Names(volume),
              c.hardLink ? QStringList({u"foldwarn.ini"_s, u"twin.ini"_s}) : QStringList{u"foldwarn.ini"_s});
    ::umount2(QFile::encodeName(volume).constData(), MNT_DETACH);
  }
}

// Whether the settings file beside the program counts as writable (and so the program runs portable) against
// where the save then lands: the two must agree. A file the user may write is used even in a folder that takes
// no new file. Another user's file or link is never written through (here the link stands in for one swapped in
// after the start, leading to the user's ~/.profile): the settings go to the user's own file instead.
TEST(FileReplace, WritableForThePortableRunAndForTheWriter) {
  enum Lands { Nowhere, There, OwnFile };
  struct Case {
    const char* name;
    mode_t folder;
    int file;  // its mode, -1: missing
    bool throughLink;
    bool foreignFile, foreignLink;  // root's, not the user's
    bool counts;
    Lands lands;
  };
  const Case cases[] = {
      {"NoFileInWritableFolder", 0777, -1, false, false, false, true, There},
      {"NoFileInReadOnlyFolder", 0555, -1, false, false, false, false, Nowhere},
      {"WritableFileInWritableFolder", 0777, 0666, false, false, false, true, There},
      {"WritableFileInReadOnlyFolder", 0555, 0666, false, false, false, true, There},
      {"LinkToWritableFileInReadOnlyFolder", 0555, 0666, true, false, false, true, There},
      {"ReadOnlyFileInReadOnlyFolder", 0555, 0444, false, false, false, false, Nowhere},
      {"AnotherUsersReadOnlyFileInWritableFolder", 0777, 0444, false, true, false, false, OwnFile},
      {"AnotherUsersWritableFileInStickyFolder", 01777, 0666, false, true, false, false, OwnFile},
      {"AnotherUsersLinkInStickyFolderToOwnFile", 01777, 0644, true, false, true, false, OwnFile},
  };
  const bool root = ::geteuid() == 0;
  const QByteArray before = "[Divuvadi Foldwarn]\nZeit=60\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if ((c.foreignFile || c.foreignLink) && !root) continue;  // only root can hand a file to another user
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath(u"program"_s), file = folder + u"/foldwarn.ini"_s;
    const QString real = c.throughLink ? dir.filePath(u"profile"_s) : file;
    const QString config = dir.filePath(u"config"_s), own = config + u"/foldwarn/foldwarn.ini"_s;
    ASSERT_TRUE(QDir().mkdir(folder) && QDir().mkdir(config));
    const auto give = [&](const QString& path, bool foreign) {
      if (root && !foreign) {
        ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
      }
    };
    give(config, false);
    if (c.file >= 0) {
      Put(real, before);
      ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), mode_t(c.file)), 0);
      give(real, c.foreignFile);
    }
    if (c.throughLink) {
      ASSERT_TRUE(QFile::link(real, file));
      give(file, c.foreignLink);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folder), 0);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    ScopedUnprivileged other;  // root may write anything: act as another user
    if (!other.active()) GTEST_SKIP() << "cannot act as another user";
    EXPECT_EQ(Platform::CanReplaceFile(file), c.counts);
    EXPECT_EQ(Commands::WriteSettings(file, Commands::DefaultSettings(u"/srv/"_s)), c.lands != Nowhere);
    EXPECT_EQ(Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, u"LetzterPfad"_s, real),
              c.lands == There ? std::optional(u"/srv/"_s) : std::nullopt);
    if (c.lands != There && c.file >= 0) {
      EXPECT_EQ(Contents(real), before);
    }
    EXPECT_EQ(QFile::exists(own), c.lands == OwnFile);
  }
  qunsetenv("XDG_CONFIG_HOME");
}

// The save ended just before each call that changes a file, in turn (save_crash_shim): every line left is an
// old or a new one, every setting reads as its old or its new value, and the next save, a few minutes later,
// finishes and leaves no temporary file.
TEST(FileReplace, SaveEndedAtAnyCallLeavesOldOrNewLines) {
  enum Layout { Plain, SymbolicLink, HardLink };
  struct Case {
    const char* name;
    Layout layout;
    bool longer;  // the new text is longer than the old
  };
  const Case cases[] = {
      {"PlainLonger", Plain, true},
      {"PlainShorter", Plain, false},
      {"SymbolicLinkLonger", SymbolicLink, true},
      {"SymbolicLinkShorter", SymbolicLink, false},
      {"HardLinkLonger", HardLink, true},
      {"HardLinkShorter", HardLink, false},
  };
  struct Setting {
    QString key, shortValue, longValue;
  };
  const Setting settings[] = {{u"LetzterPfad"_s, u"/srv/a/"_s, u"/srv/scans/Eingang der Abteilung Nord/2024/"_s},
                              {u"Zeit"_s, u"5"_s, u"60"_s},
                              {u"addSound"_s, u"a.wav"_s, u"neue-datei-angekommen.wav"_s},
                              {u"removeSound"_s, u"r.wav"_s, u"datei-wurde-entfernt.wav"_s}};
  const auto text = [&](bool longValues) {
    QByteArray bytes = "; Foldwarn\n[Divuvadi Foldwarn]\n";
    for (const Setting& s : settings)
      bytes += (s.key + u'=' + (longValues ? s.longValue : s.shortValue)).toUtf8() + '\n';
    return bytes + "; end\n";
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QByteArray oldText = text(!c.longer), newText = text(c.longer);
    QSet<QByteArray> lines;
    for (const QByteArray& line : oldText.split('\n') + newText.split('\n')) lines.insert(line);
    QStringList arguments;
    for (const Setting& s : settings) arguments << s.key + u'=' + (c.longer ? s.longValue : s.shortValue);

    bool finished = false;
    int crashes = 0;
    for (int crashAt = 1; !finished && crashAt < 200; ++crashAt) {
      SCOPED_TRACE(crashAt);
      QTemporaryDir dir;
      const QString file = dir.filePath(u"foldwarn.ini"_s);
      const QString real = c.layout == SymbolicLink ? dir.filePath(u"real/foldwarn.ini"_s) : file;
      if (c.layout == SymbolicLink) {
        ASSERT_TRUE(QDir().mkdir(dir.filePath(u"real"_s)));
        ASSERT_TRUE(QFile::link(u"real/foldwarn.ini"_s, file));
      }
      Put(real, oldText);
      if (c.layout == HardLink)
        ASSERT_EQ(::link(QFile::encodeName(real), QFile::encodeName(dir.filePath(u"twin.ini"_s))), 0);
      const QStringList namesBefore = Names(dir.path()), realNamesBefore = Names(QFileInfo(real).path());

      QProcess save;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(u"LD_PRELOAD"_s, QStringLiteral(FOLDWARN_CRASH_SHIM));
      env.insert(u"FOLDWARN_CRASH_AT"_s, QString::number(crashAt));
      // A sanitized build has its runtime preloaded too; the order does not matter to what is checked here.
      env.insert(u"ASAN_OPTIONS"_s, env.value(u"ASAN_OPTIONS"_s) + u":verify_asan_link_order=0"_s);
      save.setProcessEnvironment(env);
      save.setProcessChannelMode(QProcess::ForwardedChannels);
      save.start(QStringLiteral(FOLDWARN_SAVE_SETTINGS), QStringList{file} + arguments);
      ASSERT_TRUE(save.waitForFinished(20000));
      ASSERT_EQ(save.exitStatus(), QProcess::NormalExit);
      if (save.exitCode() == 0) {
        finished = true;
      } else {
        ASSERT_EQ(save.exitCode(), 86) << "the save failed on its own";
        ++crashes;
      }

      const QByteArray left = Contents(real);
      for (const QByteArray& line : left.split('\n'))
        EXPECT_TRUE(line.isEmpty() || lines.contains(line)) << "a line in neither text: " << line.toStdString();
      // One step: the settings read all old or all new, never a mix.
      qsizetype newOnes = 0;
      for (const Setting& s : settings) {
        const std::optional<QString> value = Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, s.key, file);
        EXPECT_TRUE(value == s.shortValue || value == s.longValue) << s.key.toStdString();
        newOnes += value == (c.longer ? s.longValue : s.shortValue);
      }
      EXPECT_TRUE(newOnes == 0 || newOnes == std::ssize(settings)) << newOnes << " settings new, the others old";

      // Minutes later, the next save.
      for (const QString& name : Names(QFileInfo(real).path()))
        if (!realNamesBefore.contains(name)) Age(QFileInfo(real).dir().filePath(name), 10 * 60);
      QList<Commands::ProfileEntry> entries;
      for (const Setting& s : settings) entries.append({s.key, c.longer ? s.longValue : s.shortValue});
      EXPECT_EQ(Commands::WriteProfileStrings(u"Divuvadi Foldwarn"_s, entries, file).state, Platform::WriteState::Done);
      // Where an in-place save of a shorter text ended before the cut, its padding stays as blank lines.
      QByteArray after = Contents(real);
      while (after.endsWith("\n\n")) after.chop(1);
      EXPECT_EQ(after, newText);
      EXPECT_EQ(Names(dir.path()), namesBefore);
      EXPECT_EQ(Names(QFileInfo(real).path()), realNamesBefore);
      if (c.layout == HardLink) EXPECT_EQ(Contents(dir.filePath(u"twin.ini"_s)), Contents(real));
    }
    EXPECT_TRUE(finished);
    EXPECT_GE(crashes, 4) << "a save changes the file in several calls";
  }
}

}  // namespace
