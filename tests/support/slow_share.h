// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "support/files.h"

// A FUSE share whose listings, or with lookups its lookups below the root, wait until the gate file exists;
// released and unmounted however the test ends. With a backing folder it serves that instead, as a server would.
class SlowShare {
 public:
  SlowShare(const QString& mountPoint, const QString& gate, bool lookups = false, const QString& backing = {})
      : mountPoint_(mountPoint), gate_(gate) {
    QStringList arguments{QStringLiteral(FOLDWARN_SLOW_FS), mountPoint, gate};
    if (lookups) arguments << QStringLiteral("--lookups");
    if (!backing.isEmpty()) arguments << QStringLiteral("--through") << backing << QStringLiteral("2");  // FAT's tick
    process_.start(QStringLiteral("/usr/bin/python3"), arguments);
  }
  SlowShare(const SlowShare&) = delete;
  SlowShare& operator=(const SlowShare&) = delete;
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
          return process_.state() != QProcess::NotRunning &&
                 ::stat(QFile::encodeName(mountPoint_).constData(), &inside) == 0 &&
                 ::stat(QFile::encodeName(mountPoint_ + QStringLiteral("/..")).constData(), &parent) == 0 &&
                 inside.st_dev != parent.st_dev;
        },
        10000);
  }
  bool hangStarted() const { return QFileInfo::exists(gate_ + QStringLiteral(".entered")); }
  void release() const {
    if (!QFileInfo::exists(gate_)) Touch(gate_);
  }

 private:
  QString mountPoint_, gate_;
  QProcess process_;
};
