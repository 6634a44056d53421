// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>

#include "support/files.h"
#include "support/picker_fixture.h"

namespace {

// A FUSE share whose listings wait until the gate file exists; released and unmounted however the test ends.
class SlowShare {
 public:
  SlowShare(const QString& mountPoint, const QString& gate) : mountPoint_(mountPoint), gate_(gate) {
    process_.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(FOLDWARN_SLOW_FS), mountPoint, gate});
  }
  ~SlowShare() {
    release();
    QProcess::execute(QStringLiteral("fusermount3"), {QStringLiteral("-u"), QStringLiteral("-z"), mountPoint_});
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(2000);
  }
  // True once the share is mounted: the mount point lies on another device than its parent.
  bool mounted() {
    return QTest::qWaitFor(
        [this] {
          struct stat inside {
          }, parent{};
          return process_.state() == QProcess::Running &&
                 ::stat(QFile::encodeName(mountPoint_).constData(), &inside) == 0 &&
                 ::stat(QFile::encodeName(mountPoint_ + QStringLiteral("/..")).constData(), &parent) == 0 &&
                 inside.st_dev != parent.st_dev;
        },
        10000);
  }
  bool listingStarted() const { return QFileInfo::exists(gate_ + QStringLiteral(".entered")); }
  void release() const {
    if (!QFileInfo::exists(gate_)) Touch(gate_);
  }

 private:
  QString mountPoint_, gate_;
  QProcess process_;
};

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
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow.listingStarted(); }));
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

}  // namespace
