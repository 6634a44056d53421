#include "instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Platform {
namespace {

std::unique_ptr<QLockFile>& heldLock() {
  static std::unique_ptr<QLockFile> lock;
  return lock;
}

ProgramEnd& testEnd() {
  static ProgramEnd end;
  return end;
}

}  // namespace

QString InstanceLockPath(const QString& exeName, const QString& appFolder) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  const QByteArray hash = QCryptographicHash::hash(appFolder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  return folder + u'/' + exeName + u'-' + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

bool ClaimSingleInstance(const QString& exeName, const QString& appFolder) {
  const QString path = InstanceLockPath(exeName, appFolder);
  std::unique_ptr<QLockFile>& held = heldLock();
  if (held && held->fileName() == path) return true;
  held.reset();
  auto lock = std::make_unique<QLockFile>(path);
  // Only a dead owner makes a lock stale: a running instance may hold it for weeks.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    held = std::move(lock);
    return true;
  }
  // A runtime folder we cannot write to is no sign of another instance.
  return lock->error() != QLockFile::LockFailedError;
}

void ReleaseSingleInstance() { heldLock().reset(); }

void EndProgram(int exitCode) {
  if (testEnd()) {
    testEnd()(exitCode);
    return;
  }
  if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() == 0) {
    // Nothing runs yet: exec() returns at once, and everything is torn down in order.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    return;
  }
  // From inside a handler: leaving the event loops would still run what is queued and let nested waits go on.
  // Stopping the process does what is asked: every window goes, no handler runs any more.
  ReleaseSingleInstance();
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

void SetEndProgramForTesting(ProgramEnd end) { testEnd() = std::move(end); }

}  // namespace Platform
