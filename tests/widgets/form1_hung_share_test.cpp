// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "forms/form1.h"
#include "sound/sound.h"
#include "support/files.h"
#include "support/slow_share.h"
#include "support/watch_wait.h"
#include "watch/folder_watch.h"

namespace {

// A share whose listing hangs must not hold up the folder picked next: that one is counted by a reader of its
// own at once, and a file landing there sounds, while the share's listing still hangs.
TEST(Form1HungShare, TheNextFolderIsWatchedAtOnce) {
  if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE here";
  QTemporaryDir tree;
  const QString share = tree.filePath(QStringLiteral("share")), local = tree.filePath(QStringLiteral("local"));
  ASSERT_TRUE(QDir().mkpath(share));
  ASSERT_TRUE(QDir().mkpath(local));
  Touch(local + QStringLiteral("/first.txt"));
  SlowShare slow(share, tree.filePath(QStringLiteral("gate")));
  if (!slow.mounted()) GTEST_SKIP() << "the FUSE share could not be mounted here";
  QStringList played;
  Sound::SetPlayerForTesting([&](const QString& file) { played << file; });

  {
    Form1 form;
    form.state().AddSoundFile = QStringLiteral("add-tone");
    form.watchFolder(share);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow.hangStarted(); }));
    ASSERT_FALSE(QFileInfo::exists(tree.filePath(QStringLiteral("gate"))));  // the share hangs from here on
    form.watchFolder(local);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.folderWatch()->busy(); }, 1000));
    EXPECT_EQ(form.state().LastFileCount, 1);

    Touch(local + QStringLiteral("/landed.txt"));
    form.HScroll1->setValue(1);
    ASSERT_TRUE(QMetaObject::invokeMethod(&form, "Timer1_Timer"));
    ASSERT_TRUE(WaitForWatch(form));
    EXPECT_EQ(played, QStringList{QStringLiteral("add-tone")});
    EXPECT_EQ(form.state().LastFileCount, 2);
  }
  Sound::SetPlayerForTesting({});
}

}  // namespace
