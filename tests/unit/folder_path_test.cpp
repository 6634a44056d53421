// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/folder_path.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "support/qt_printers.h"
#include "support/unprivileged.h"

namespace {

class CreateFolderPath : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString saved = QDir::currentPath();

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("have/deep")));
    QFile file(at("have/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  void TearDown() override { QDir::setCurrent(saved); }

  QString at(const QString& relative) const { return dir.filePath(relative); }
};

TEST_F(CreateFolderPath, Outcomes) {
  struct Case {
    const char* name;
    QString path;
    bool result;
    QStringList created;  // folders that must exist afterwards
  };
  const Case cases[] = {
      {"last level missing", at("have/deep/new"), true, {at("have/deep/new")}},
      {"levels above missing", at("have/a/b/c/"), false, {}},
      {"folder above gone", at("gone/new"), false, {}},
      {"everything exists", at("have/deep/"), true, {}},
      {"root only", QStringLiteral("/"), true, {}},
      {"file in the way", at("have/file.txt/x"), false, {}},
      {"last level is a file", at("have/file.txt"), false, {}},
      {"doubled separator", at("have//x"), false, {}},
      {"name too long", at("have/") + QString(300, u'n') + QStringLiteral("/x"), false, {}},
      {"dot level", at("have/./x"), false, {}},
      {"parent level", at("have/deep/../x"), false, {}},
      {"relative path", QStringLiteral("relative/x"), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir::setCurrent(saved);
    QString path = c.path;
    EXPECT_EQ(Commands::CreateFolderPath(path), c.result);
    EXPECT_EQ(QDir::currentPath(), saved);  // the process never moves into what it creates
    for (const QString& folder : c.created) EXPECT_TRUE(QFileInfo(folder).isDir()) << folder;
  }
  // Nothing leaked beside or above the levels named.
  EXPECT_FALSE(QFileInfo::exists(at("x")));
  EXPECT_FALSE(QFileInfo::exists(at("have/x")));
  EXPECT_EQ(QDir(at("have")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("deep"), QStringLiteral("file.txt")}));
  EXPECT_FALSE(QFileInfo::exists(at("gone")));
}

TEST_F(CreateFolderPath, AppendsOneSeparatorToTheCallersPath) {
  const QString cases[] = {at("have/deep"), at("have/deep/"), QStringLiteral("/")};
  for (const QString& given : cases) {
    QString path = given;
    Commands::CreateFolderPath(path);
    EXPECT_EQ(path, given.endsWith(u'/') ? given : given + u'/') << given;
  }
}

TEST_F(CreateFolderPath, UnwritableParent) {
  ASSERT_TRUE(QFile::setPermissions(
      dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                      QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup));
  ASSERT_TRUE(QFile::setPermissions(at("have"), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                    QFileDevice::ReadOther | QFileDevice::ExeOther |
                                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup));
  bool result = true;
  bool existingAccepted = false;
  {
    ScopedUnprivileged unprivileged;
    if (!unprivileged.active()) GTEST_SKIP() << "running as root and cannot act as another user";
    QString blocked = at("have/locked");
    result = Commands::CreateFolderPath(blocked);
    // An existing level is entered even where nothing may be created.
    QString existing = at("have/deep/");
    existingAccepted = Commands::CreateFolderPath(existing);
    QDir::setCurrent(QStringLiteral("/"));
  }
  QFile::setPermissions(at("have"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_FALSE(result);
  EXPECT_TRUE(existingAccepted);
  EXPECT_FALSE(QFileInfo::exists(at("have/locked")));
}

// A volume a folder was created on can be unmounted while the program runs.
TEST_F(CreateFolderPath, LeavesTheVolumeFreeToUnmount) {
  const QByteArray mountPoint = QFile::encodeName(at("stick"));
  ASSERT_TRUE(QDir().mkpath(at("stick")));
  if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
  QString path = at("stick/neu");
  const bool created = Commands::CreateFolderPath(path);
  const bool madeThere = QFileInfo(at("stick/neu")).isDir();
  const int unmounted = ::umount(mountPoint.constData());
  if (unmounted != 0) {
    QDir::setCurrent(saved);
    ::umount(mountPoint.constData());
  }
  EXPECT_TRUE(created);
  EXPECT_TRUE(madeThere);
  EXPECT_EQ(unmounted, 0) << std::strerror(errno);
}

}  // namespace
