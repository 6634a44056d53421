// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTimer>
#include <atomic>
#include <thread>

#include "support/files.h"
#include "support/picker_fixture.h"
#include "support/slow_share.h"

namespace {

using PickerSlowShare = PickerTest;

// The window keeps running while a listing hangs: another folder is opened and shown meanwhile.
TEST_F(PickerSlowShare, AnswersWhileAListingHangs) {
  if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE here";
  const QString share = at("share");
  const QString gate = at("gate");
  ASSERT_TRUE(QDir().mkpath(share));
  SlowShare slow(share, gate);
  if (!slow.mounted()) GTEST_SKIP() << "the FUSE share could not be mounted here";

  open(share);
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow.hangStarted(); }));
  EXPECT_EQ(dir()->path(), share);
  EXPECT_TRUE(dir()->isFilling());
  EXPECT_TRUE(files()->isFilling());

  ASSERT_TRUE(dir()->setPath(at("work")));
  EXPECT_EQ(fileNames(), (QStringList{"b.wav", "notes.txt"}));
  EXPECT_GE(rowOf(at("work/alpha")), 0);
  ASSERT_FALSE(QFileInfo::exists(gate));  // the share still hangs

  // Back on the share once it answers: its entries, and nothing of the folder shown meanwhile.
  ASSERT_TRUE(dir()->setPath(share));
  slow.release();
  EXPECT_EQ(fileNames(), (QStringList{"a.txt", "b.txt"}));
  EXPECT_GE(rowOf(share + QStringLiteral("/sub")), 0);
  EXPECT_EQ(rowOf(at("work/alpha")), -1);
}

// Each action that looks at the disk, on a share whose lookups hang: the window's thread is back in its event loop
// while the share still hangs, and the action ends as designed once the share answers.
TEST_F(PickerSlowShare, ActionsAnswerWhileLookupsHang) {
  if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE here";
  const auto openAtShare = [this](const QString& share) {
    open(share);
    ASSERT_GE(rowOf(share + QStringLiteral("/sub")), 0);
  };
  struct Case {
    const char* name;
    std::function<void(const QString&share)> prepare, act;
    QString ends;  // the folder the lists stand on in the end, below the share
  };
  const Case cases[] = {
      {"Durchsuchen", [](const QString&) {}, [this](const QString& share) { open(share + QStringLiteral("/sub")); },
       QStringLiteral("/sub")},
      {"drive change",
       [this](const QString& share) {
         open(at(QStringLiteral("work")));
         drives()->setVolumes({{QStringLiteral("/"), QString()}, {share + QStringLiteral("/sub"), QString()}});
       },
       [this](const QString&) { drives()->setCurrentIndex(1); }, QStringLiteral("/sub")},
      {"opening a folder", openAtShare, [this](const QString& share) { doubleClick(share + QStringLiteral("/sub")); },
       QStringLiteral("/sub")},
      {"Enter in the name entry", openAtShare,
       [this](const QString&) {
         QTest::mouseClick(button("Command3"), Qt::LeftButton);
         entry()->setText(QStringLiteral("Neu"));
         QTest::keyClick(entry(), Qt::Key_Return);
       },
       QStringLiteral("/Neu")},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString share = at(QStringLiteral("share%1").arg(row));
    ASSERT_TRUE(QDir().mkpath(share));
    SlowShare slow(share, at(QStringLiteral("gate%1").arg(row++)), true);
    if (!slow.mounted()) GTEST_SKIP() << "the FUSE share could not be mounted here";
    c.prepare(share);
    const auto ended = [&] {
      return dir()->path() == share + c.ends && files()->path() == dir()->path() && !dir()->isFilling() &&
             !files()->isFilling() && !entry()->isVisible() && shown.isEmpty();
    };
    // An action that waited for the share on the window's thread would wait for ever: a watchdog opens the gate
    // if the window's thread has not come back to its event loop long after, and says so.
    std::atomic<bool> back{false}, rescued{false};
    std::thread watchdog([&] {
      for (int i = 0; i < 1000 && !back; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!back) {
        rescued = true;
        slow.release();
      }
    });
    c.act(share);
    QTest::qWait(400);  // what the action started runs meanwhile, on the window's thread too
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 20000));
    back = true;
    watchdog.join();
    EXPECT_FALSE(rescued) << "the window's thread waited for the share";
    EXPECT_TRUE(slow.hangStarted());  // the action did meet the hang
    EXPECT_FALSE(ended());

    slow.release();
    EXPECT_TRUE(QTest::qWaitFor(ended, 10000));
    QTest::qWait(300);  // and no late answer undoes it
    EXPECT_TRUE(ended());
    picker->close();
    settle();
  }
}

}  // namespace
