// SPDX-License-Identifier: GPL-3.0-or-later
// Two real processes from one program folder: the second start ends at once, and a lock left behind by a
// killed instance does not block the next start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/instance.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

class SingleInstance : public ::testing::Test {
 protected:
  QTemporaryDir root;
  QString runtime = root.filePath(u"run"_s);
  std::vector<std::unique_ptr<QProcess>> started;

  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The locks of this test live apart from those of anything else running on the machine.
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
  }
  void TearDown() override {
    for (auto& process : started) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(5000);
      }
    }
  }

  // A program folder with its own copy of the program and a settings file.
  QString ProgramFolder(const QString& name) {
    const QString folder = root.filePath(name);
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(QFile::copy(QStringLiteral(FOLDWARN_EXECUTABLE), folder + u"/foldwarn"_s));
    QFile settings(folder + u"/foldwarn.ini"_s);
    EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Divuvadi Foldwarn]\nZeit=30\n");
    return folder;
  }

  QProcess* Start(const QString& folder) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(folder + u"/foldwarn"_s, {});
    EXPECT_TRUE(process->waitForStarted(10000));
    started.push_back(std::move(process));
    return started.back().get();
  }

  static qint64 LockOwner(const QString& folder) {
    QLockFile lock(Platform::InstanceLockPath(u"foldwarn"_s, folder + u'/'));
    qint64 pid = 0;
    QString host, app;
    return lock.getLockInfo(&pid, &host, &app) ? pid : 0;
  }

  // Running from this folder means holding its lock.
  static bool WaitUntilRunning(const QString& folder, QProcess* process) {
    return QTest::qWaitFor([&] { return LockOwner(folder) == process->processId(); }, 20000);
  }

  static QByteArray Contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

TEST_F(SingleInstance, SecondStartFromTheSameFolderEndsAtOnce) {
  const QString folder = ProgramFolder(u"one"_s);
  QProcess* first = Start(folder);
  ASSERT_TRUE(WaitUntilRunning(folder, first));
  const QByteArray settings = Contents(folder + u"/foldwarn.ini"_s);

  QProcess* second = Start(folder);
  ASSERT_TRUE(second->waitForFinished(20000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(first->state(), QProcess::Running);
  EXPECT_EQ(LockOwner(folder), first->processId());
  EXPECT_EQ(Contents(folder + u"/foldwarn.ini"_s), settings);

  // A copy in another folder is another program with its own settings: it runs side by side.
  const QString other = ProgramFolder(u"two"_s);
  QProcess* third = Start(other);
  EXPECT_TRUE(WaitUntilRunning(other, third));
  EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(SingleInstance, LockOfACrashedRunDoesNotBlock) {
  const QString folder = ProgramFolder(u"one"_s);
  QProcess* crashed = Start(folder);
  ASSERT_TRUE(WaitUntilRunning(folder, crashed));
  crashed->kill();  // no chance to clean up: the lock file stays behind
  ASSERT_TRUE(crashed->waitForFinished(10000));
  ASSERT_TRUE(QFile::exists(Platform::InstanceLockPath(u"foldwarn"_s, folder + u'/')));

  QProcess* next = Start(folder);
  EXPECT_TRUE(WaitUntilRunning(folder, next));
  EXPECT_EQ(next->state(), QProcess::Running);
}

}  // namespace
