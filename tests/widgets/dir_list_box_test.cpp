// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/dir_list_box.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "support/qt_printers.h"
#include "support/unprivileged.h"

namespace {

class DirListBox : public ::testing::Test {
 protected:
  QTemporaryDir tree;
  Controls::DirListBox list;

  void SetUp() override {
    for (const char* folder : {"top/zeta", "top/Alpha", "top/beta/deeper", "top/.secret"})
      ASSERT_TRUE(QDir(tree.path()).mkpath(QLatin1String(folder)));
    QFile file(at("top/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QString at(const QString& relative) const { return QDir::cleanPath(tree.filePath(relative)); }
  // Subfolders are read on a thread of their own: entries are taken once they have arrived.
  QStringList entries() const {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !list.isFilling(); }));
    QStringList paths;
    for (int row = 0; row < list.count(); ++row) paths << list.entryPath(row);
    return paths;
  }
  static QStringList chainTo(const QString& folder) {
    QStringList chain;
    for (QString step = folder;; step = QFileInfo(step).path()) {
      chain.prepend(step);
      if (step == u"/") break;
    }
    return chain;
  }
};

TEST_F(DirListBox, AncestorsOpenedFolderThenSubfolders) {
  ASSERT_TRUE(list.setPath(at("top")));
  const QStringList expected = chainTo(at("top")) + QStringList{at("top/Alpha"), at("top/beta"), at("top/zeta")};
  EXPECT_EQ(entries(), expected);
  EXPECT_EQ(list.openedRow(), expected.indexOf(at("top")));
  EXPECT_EQ(list.currentRow(), list.openedRow());
  EXPECT_EQ(list.item(0)->text(), u"/");
  EXPECT_EQ(list.item(list.openedRow())->text(), u"top");
}

TEST_F(DirListBox, PathForms) {
  struct Case {
    const char* name;
    QString given;
    bool accepted;
    QString path;
  };
  const Case cases[] = {
      {"trailing separator dropped", at("top") + u'/', true, at("top")},
      {"root keeps its separator", QStringLiteral("/"), true, QStringLiteral("/")},
      {"missing opens empty", at("top/none"), true, at("top/none")},
      {"dot levels resolved", at("top/beta/../zeta"), true, at("top/zeta")},
      {"empty refused", QString(), false, at("top/zeta")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QSignalSpy changes(&list, &Controls::DirListBox::changed);
    EXPECT_EQ(list.setPath(c.given), c.accepted);
    EXPECT_EQ(list.path(), c.path);
    EXPECT_EQ(changes.count(), c.accepted ? 1 : 0);
  }
  // The same folder again is no change.
  QSignalSpy changes(&list, &Controls::DirListBox::changed);
  EXPECT_TRUE(list.setPath(at("top/zeta/")));
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(DirListBox, RootHasNoParentEntry) {
  ASSERT_TRUE(list.setPath(QStringLiteral("/")));
  EXPECT_EQ(list.openedRow(), 0);
  EXPECT_EQ(list.entryPath(0), u"/");
  for (int row = 1; row < list.count(); ++row) {
    EXPECT_EQ(QFileInfo(list.entryPath(row)).path(), u"/") << list.entryPath(row);
    EXPECT_FALSE(QFileInfo(list.entryPath(row)).fileName().startsWith(u'.'));
  }
}

TEST_F(DirListBox, RefreshShowsNewSubfolders) {
  ASSERT_TRUE(list.setPath(at("top")));
  ASSERT_TRUE(QTest::qWaitFor([this] { return !list.isFilling(); }));
  ASSERT_TRUE(QDir(at("top")).mkdir(QStringLiteral("new")));
  EXPECT_FALSE(entries().contains(at("top/new")));
  QSignalSpy changes(&list, &Controls::DirListBox::changed);
  list.refresh();
  EXPECT_TRUE(entries().contains(at("top/new")));
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(DirListBox, VanishedOrUnreadableFolders) {
  ASSERT_TRUE(list.setPath(at("top/beta")));
  ASSERT_TRUE(QDir(at("top/beta")).removeRecursively());
  list.refresh();
  EXPECT_EQ(entries(), chainTo(at("top/beta")));

  const QString closed = at("top/zeta");
  ASSERT_TRUE(QDir(closed).mkdir(QStringLiteral("inside")));
  ASSERT_TRUE(QFile::setPermissions(
      tree.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ExeOther));
  ASSERT_TRUE(QFile::setPermissions(
      at("top"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ExeOther));
  ASSERT_TRUE(QFile::setPermissions(closed, QFileDevice::ExeOwner | QFileDevice::ExeOther));
  bool opened = false;
  QStringList shown;
  {
    ScopedUnprivileged unprivileged;
    if (!unprivileged.active()) GTEST_SKIP() << "running as root and cannot act as another user";
    opened = list.setPath(closed);
    shown = entries();
  }
  QFile::setPermissions(closed, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_TRUE(opened);
  EXPECT_EQ(shown, chainTo(closed));
}

}  // namespace
