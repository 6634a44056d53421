// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch/folder_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <iostream>
#include <random>

#include "platform/change_notices.h"
#include "platform/folder_count.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "support/slow_share.h"

namespace {

using Watch::Source;

bool OnLocalFileSystem(const QString& path) { return Platform::OnLocalFileSystem(Platform::OpenFolder(path)); }

// The count as a plain listing gives it: regular files, links to them, no dot names.
qint64 PlainCount(const QString& folder) { return QDir(folder).entryList(QDir::Files).size(); }

// Changes against a real file system: each check must give the count a plain count gives, so the same tone
// or the same silence, and only a folder that stands still may be left unread.
struct Case {
  const char* name;
  std::function<void(const QString& folder, const QString& outside)> change;
};

TEST(FolderReader, GivesWhatAPlainCountGives) {
  const Case cases[] = {
      {"FileAdded", [](const QString& f, const QString&) { Touch(f + "/new"); }},
      {"FileRemoved", [](const QString& f, const QString&) { QFile::remove(f + "/a"); }},
      {"HiddenFileAdded", [](const QString& f, const QString&) { Touch(f + "/.hidden"); }},
      {"OneAddedOneRemoved",
       [](const QString& f, const QString&) {
         Touch(f + "/new");
         QFile::remove(f + "/b");
       }},
      {"RenamedToDotName", [](const QString& f, const QString&) { QFile::rename(f + "/a", f + "/.a"); }},
      {"LinkTargetDeleted", [](const QString&, const QString& o) { QFile::remove(o + "/target"); }},
      {"FolderReplacedByRename",
       [](const QString& f, const QString& o) {
         ASSERT_TRUE(QDir().mkpath(o + "/replacement"));
         Touch(o + "/replacement/only");
         ASSERT_TRUE(QDir().rename(f, o + "/old"));
         ASSERT_TRUE(QDir().rename(o + "/replacement", f));
       }},
      {"FolderDeleted", [](const QString& f, const QString&) { QDir(f).removeRecursively(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir root;
    const QString folder = root.filePath("watched"), outside = root.filePath("outside");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QDir().mkpath(outside));
    for (const char* name : {"a", "b", "c"}) Touch(folder + '/' + name);
    Touch(outside + "/target");
    const bool withLink = QByteArray(c.name) == "LinkTargetDeleted";
    if (withLink) {
      ASSERT_TRUE(QFile::link(outside + "/target", folder + "/link"));
    }

    Watch::FolderReader reader;
    ASSERT_EQ(reader.check(folder).count, Platform::CountFolderFiles(folder));
    // Standing still: the last count holds, and a trusted folder is not read again.
    const Watch::Reading still = reader.check(folder);
    EXPECT_EQ(still.count, Platform::CountFolderFiles(folder));
    EXPECT_EQ(still.source, withLink || !OnLocalFileSystem(folder) ? Source::Disk : Source::Kept);

    c.change(folder, outside);
    const Watch::Reading changed = reader.check(folder);
    EXPECT_EQ(changed.count, Platform::CountFolderFiles(folder));
    EXPECT_NE(changed.source, Source::Kept);
    EXPECT_EQ(reader.check(folder).count, Platform::CountFolderFiles(folder));
  }
}

TEST(FolderReader, TmpfsMountedOverTheFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  QTemporaryDir root;
  const QString folder = root.filePath("watched");
  const QByteArray path = QFile::encodeName(folder);
  ASSERT_TRUE(QDir().mkpath(folder));
  for (const char* name : {"a", "b"}) Touch(folder + '/' + name);
  Watch::FolderReader reader;
  ASSERT_EQ(reader.check(folder).count, 2);
  if (::mount("foldwarn-test", path.constData(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "cannot mount here";
  const std::optional<qint64> over = reader.check(folder).count;
  Touch(folder + "/on-tmpfs");
  const std::optional<qint64> added = reader.check(folder).count;
  ASSERT_EQ(::umount(path.constData()), 0);
  EXPECT_EQ(over, 0);  // the files below are hidden: a plain count gives the file-removed tone
  EXPECT_EQ(added, 1);
  EXPECT_EQ(reader.check(folder).count, 2);
}

TEST(FolderReader, AnotherFolderStartsAfresh) {
  QTemporaryDir one, two;
  Touch(one.filePath("x"));
  Watch::FolderReader reader;
  EXPECT_EQ(reader.check(one.path()).count, 1);
  const Watch::Reading other = reader.check(two.path());
  EXPECT_EQ(other.count, 0);
  EXPECT_EQ(other.source, Source::Disk);
  EXPECT_EQ(reader.check(u"/no/such/folder"_qs).count, std::nullopt);
}

// A share whose server keeps times in steps of 2 s, as FAT does: changes inside the tick of the last count and
// after it, each check as a plain listing; a share standing still is not listed again.
TEST(FolderReader, ShareGivesWhatAPlainListingGives) {
  QTemporaryDir root;
  const QString backing = root.filePath(u"backing"_qs), share = root.filePath(u"share"_qs);
  ASSERT_TRUE(QDir().mkpath(backing) && QDir().mkpath(share));
  for (const char* name : {"a", "b"}) Touch(backing + '/' + name);
  SlowShare server(share, root.filePath(u"gate"_qs), false, backing);
  if (!server.mounted()) GTEST_SKIP() << "no FUSE here";
  Watch::FolderReader reader;
  const auto check = [&](const char* after) {
    const Watch::Reading reading = reader.check(share);
    EXPECT_EQ(reading.count, PlainCount(share)) << after;
    return reading.source;
  };
  // Just past a tick's start, so that two quick changes share one tick.
  ASSERT_TRUE(QTest::qWaitFor([] { return QDateTime::currentMSecsSinceEpoch() % 2000 < 100; }, 3000));
  Touch(backing + u"/c"_qs);
  check("a file added");
  Touch(backing + u"/d"_qs);
  check("a file added in the tick of the last count: the folder's times as it saw them");
  QFile::remove(backing + u"/a"_qs);
  QThread::msleep(3500);
  check("a file removed");
  EXPECT_EQ(check("nothing"), Source::Attributes);
  Touch(backing + u"/e"_qs);
  EXPECT_EQ(check("a file added after the tick"), Source::Disk);
}

// A real tmpfs, as a drop folder on a fast disk is: the notices vouch for it.
bool OnTmpfs(const QString& path) {
  struct statfs fs {};
  return ::statfs(QFile::encodeName(path).constData(), &fs) == 0 && fs.f_type == TMPFS_MAGIC;
}

// Thousands of random changes, a check after every few: each check gives what a plain listing gives, and most
// of them come from the notices alone.
TEST(FolderReader, RandomChangesCountAsAPlainListing) {
  QTemporaryDir root(QStringLiteral("/dev/shm/foldwarn-reader-XXXXXX"));
  if (!root.isValid() || !OnTmpfs(root.path())) GTEST_SKIP() << "no tmpfs at /dev/shm";
  const QString folder = root.filePath(QStringLiteral("watched")), outside = root.filePath(QStringLiteral("outside"));
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QDir().mkpath(outside));
  for (int i = 0; i < 100; ++i) Touch(folder + QStringLiteral("/base-%1").arg(i));
  const QByteArray in = QFile::encodeName(folder) + '/', out = QFile::encodeName(outside) + '/';

  std::mt19937 random(18);
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  // Few names, so that renames land on existing ones and names come back; some are dot names.
  auto name = [&] {
    const int i = pick(48);
    return (i < 6 ? QByteArray(".dot-") : QByteArray("f-")) + QByteArray::number(i);
  };
  auto existing = [&]() -> QByteArray {
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return names.isEmpty() ? name() : QFile::encodeName(names[pick(int(names.size()))]);
  };
  auto make = [](const QByteArray& path) {
    ::close(::open(path.constData(), O_CREAT | O_WRONLY | O_NONBLOCK | O_CLOEXEC, 0644));
  };
  auto remove = [](const QByteArray& path) {
    if (::unlink(path.constData()) != 0) QDir(QFile::decodeName(path)).removeRecursively();
  };
  struct Step {
    const char* name;
    int weight;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"make", 8, [&] { make(in + name()); }},
      {"delete", 8, [&] { remove(in + existing()); }},
      {"rename inside", 6, [&] { ::rename(in + existing(), in + name()); }},
      {"rename over an existing name", 4, [&] { ::rename(in + existing(), in + existing()); }},
      {"move in", 3,
       [&] {
         make(out + "incoming");
         ::rename(out + "incoming", in + name());
       }},
      {"move out", 3, [&] { ::rename(in + existing(), out + "left-" + QByteArray::number(pick(1 << 30))); }},
      {"make a folder", 2, [&] { ::mkdir(in + name(), 0755); }},
      {"symbolic link", 1, [&] { ::symlink(pick(2) ? out + "incoming" : QByteArray("f-1"), in + name()); }},
      {"fifo", 1, [&] { ::mkfifo(in + name(), 0644); }},
      {"hard link from outside", 1,
       [&] {
         make(out + "shared");
         ::link(out + "shared", in + name());
       }},
      {"hard link inside", 1, [&] { ::link(in + existing(), in + name()); }},
      {"made and deleted", 2,
       [&] {
         const QByteArray path = in + name();
         make(path);
         remove(path);
       }},
  };
  int total = 0;
  for (const Step& step : steps) total += step.weight;

  Watch::FolderReader reader;
  ASSERT_EQ(reader.check(folder).count, PlainCount(folder));
  int checks = 0, fromNotices = 0;
  for (int done = 0; done < 3000;) {
    for (int n = 1 + pick(4); n > 0; --n, ++done) {
      int at = pick(total);
      const Step* step = steps;
      while (at >= step->weight) at -= (step++)->weight;
      step->run();
    }
    const Watch::Reading reading = reader.check(folder);
    ++checks;
    if (reading.source == Source::Notices) ++fromNotices;
    ASSERT_EQ(reading.count, PlainCount(folder)) << "after " << done << " steps";
  }
  RecordProperty("checks", checks);
  RecordProperty("from_notices", fromNotices);
  EXPECT_GT(fromNotices, checks / 4) << fromNotices << " of " << checks << " checks came from the notices";
}

// The notice queue's length, read or set; a new watch takes the length set when it is made.
QByteArray QueueLength(const QByteArray& set = {}) {
  QFile file(QStringLiteral("/proc/sys/fs/inotify/max_queued_events"));
  if (!file.open(set.isEmpty() ? QIODevice::ReadOnly : QIODevice::WriteOnly)) return {};
  return set.isEmpty() ? file.readAll().trimmed() : QByteArray(file.write(set + '\n') > 0 ? "set" : "");
}

// A fresh volume mounted where the last one was: its root has the same device and inode, and the notice that the
// old one went may be lost with others. The watch must follow the new volume all the same.
TEST(FolderReader, VolumeSwappedAtTheSamePlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  struct Row {
    const char* name;
    bool overflow;
  };
  for (const Row row : {Row{"QueueOverflowedFirst", true}, Row{"NoticesIntact", false}}) {
    SCOPED_TRACE(row.name);
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("watched"));
    const QByteArray path = QFile::encodeName(folder);
    ASSERT_TRUE(QDir().mkpath(folder));
    if (::mount("foldwarn-test", path.constData(), "tmpfs", 0, "size=8m") != 0) GTEST_SKIP() << "cannot mount here";
    for (const char* name : {"a", "b", "c"}) Touch(folder + '/' + name);
    const std::optional<Platform::FolderIdentity> before = Platform::IdentityOf(folder);
    std::optional<qint64> counts[4];
    {
      const QByteArray saved = QueueLength();
      if (saved.isEmpty() || QueueLength(row.overflow ? "16" : "16384").isEmpty()) GTEST_SKIP() << "no queue length";
      Watch::FolderReader reader;
      counts[0] = reader.check(folder).count;
      QueueLength(saved);  // the reader's watches keep the short queue
      for (int i = 0; i < 200; ++i) Touch(folder + QStringLiteral("/burst-%1").arg(i));
      for (int i = 0; i < 200; ++i) QFile::remove(folder + QStringLiteral("/burst-%1").arg(i));
      ASSERT_EQ(::umount(path.constData()), 0);
      ASSERT_EQ(::mount("foldwarn-test", path.constData(), "tmpfs", 0, "size=8m"), 0);
      if (Platform::IdentityOf(folder) != before) std::cout << "[ note ] the new volume has another device\n";
      Touch(folder + QStringLiteral("/one"));
      counts[1] = reader.check(folder).count;
      Touch(folder + QStringLiteral("/two"));
      counts[2] = reader.check(folder).count;
      Touch(folder + QStringLiteral("/three"));
      counts[3] = reader.check(folder).count;
    }
    ASSERT_EQ(::umount(path.constData()), 0);
    EXPECT_EQ(counts[0], 3);
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(counts[2], 2);
    EXPECT_EQ(counts[3], 3);
  }
}

// However quiet the notices, a full count comes at the set period.
TEST(FolderReader, VerifyingCountReadsAStillFolder) {
  QTemporaryDir dir;
  Touch(dir.filePath(QStringLiteral("x")));
  if (!OnLocalFileSystem(dir.path())) GTEST_SKIP() << "the notices vouch for local file systems only";
  Watch::FolderReader trusting, verifying(std::chrono::milliseconds(20));
  trusting.check(dir.path());
  verifying.check(dir.path());
  QThread::msleep(30);
  EXPECT_EQ(trusting.check(dir.path()).source, Source::Kept);
  EXPECT_EQ(verifying.check(dir.path()).source, Source::Disk);
}

}  // namespace
