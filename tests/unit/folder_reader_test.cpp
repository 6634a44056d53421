// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch/folder_reader.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "platform/folder_count.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "watch/still_folder.h"

namespace {

bool OnLocalFileSystem(const QString& path) {
  struct statfs fs {};
  return ::statfs(QFile::encodeName(path).constData(), &fs) == 0 && Watch::IsLocalFileSystem(long(fs.f_type));
}

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
    EXPECT_EQ(still.read, withLink || !OnLocalFileSystem(folder));

    c.change(folder, outside);
    const Watch::Reading changed = reader.check(folder);
    EXPECT_EQ(changed.count, Platform::CountFolderFiles(folder));
    EXPECT_TRUE(changed.read);
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
  EXPECT_TRUE(other.read);
  EXPECT_EQ(reader.check(u"/no/such/folder"_qs).count, std::nullopt);
}

}  // namespace
