// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

// All a second start ever says; anything else arriving on the socket is dropped.
constexpr char SecondStartMessage[] = "foldwarn: started again\n";

std::unique_ptr<QLockFile>& heldLock() {
  static std::unique_ptr<QLockFile> lock;
  return lock;
}

// Parented to the application, so it goes (and takes its socket file along) before Qt is torn down.
QPointer<QLocalServer>& server() {
  static QPointer<QLocalServer> s;
  return s;
}

std::function<void()>& secondStartHandler() {
  static std::function<void()> handler;
  return handler;
}

ProgramEnd& testEnd() {
  static ProgramEnd end;
  return end;
}

// Qt Gui looks into the runtime folder while it starts and says on standard error each time that
// XDG_RUNTIME_DIR is not set; the lock has its own private folder then, so the notice is noise.
QtMessageHandler previousMessageHandler = nullptr;

void DropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"_L1)) return;
  if (previousMessageHandler) previousMessageHandler(type, context, message);
}

void InstallMessageFilter() { previousMessageHandler = qInstallMessageHandler(DropRuntimeFolderNotice); }
Q_CONSTRUCTOR_FUNCTION(InstallMessageFilter)

// A real folder (not a link to one) of this user's own that nobody else may enter. When create is set and
// nothing is there yet, it is made so.
bool IsPrivateFolder(const QString& path, bool create) {
  if (path.isEmpty()) return false;
  const QByteArray name = QFile::encodeName(path);
  if (create && ::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

QString InstanceBasePath(const QString& exeName, const QString& appFolder) {
  const QString folder = InstanceFolder();
  if (folder.isEmpty()) return {};
  const QByteArray hash = QCryptographicHash::hash(appFolder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  return folder + u'/' + exeName + u'-' + QString::fromLatin1(hash);
}

void ReadSecondStart(QLocalSocket* socket) {
  const QByteArray received = socket->property("received").toByteArray() + socket->readAll();
  if (received == SecondStartMessage) {
    socket->disconnectFromServer();
    if (secondStartHandler()) secondStartHandler()();
  } else if (!QByteArray::fromRawData(SecondStartMessage, sizeof SecondStartMessage - 1).startsWith(received)) {
    socket->abort();
  } else {
    socket->setProperty("received", received);
  }
}

void Listen(const QString& path) {
  if (!QCoreApplication::instance() || path.isEmpty()) return;
  // We hold the lock: a socket file still there belongs to a run that has crashed.
  QLocalServer::removeServer(path);
  auto* s = new QLocalServer(QCoreApplication::instance());
  if (!s->listen(path)) {
    delete s;
    return;
  }
  QObject::connect(s, &QLocalServer::newConnection, s, [s] {
    while (QLocalSocket* socket = s->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] { ReadSecondStart(socket); });
      if (socket->bytesAvailable() > 0) ReadSecondStart(socket);
    }
  });
  server() = s;
}

}  // namespace

QString InstanceFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (IsPrivateFolder(runtime, false)) return runtime;
  const QString temporary = QDir::tempPath() + u"/foldwarn-"_s + QString::number(::geteuid());
  if (IsPrivateFolder(temporary, true)) return temporary;
  // Someone else took the name in the shared temporary folder: the user's own cache folder is safe from that.
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  if (!cache.startsWith(u'/')) cache = QDir::homePath() + u"/.cache"_s;
  QDir().mkpath(cache);
  const QString own = cache + u"/foldwarn-run"_s;
  return IsPrivateFolder(own, true) ? own : QString();
}

QString InstanceLockPath(const QString& exeName, const QString& appFolder) {
  const QString base = InstanceBasePath(exeName, appFolder);
  return base.isEmpty() ? base : base + u".lock"_s;
}

bool ClaimSingleInstance(const QString& exeName, const QString& appFolder) {
  const QString base = InstanceBasePath(exeName, appFolder);
  // Without a private folder there is no safe place for a lock; the program runs without one.
  if (base.isEmpty()) return true;
  const QString path = base + u".lock"_s;
  std::unique_ptr<QLockFile>& held = heldLock();
  if (held && held->fileName() == path) return true;
  ReleaseSingleInstance();
  auto lock = std::make_unique<QLockFile>(path);
  // Only a dead owner makes a lock stale: a running instance may hold it for weeks.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    held = std::move(lock);
    Listen(base + u".socket"_s);
    return true;
  }
  // A runtime folder we cannot write to is no sign of another instance.
  return lock->error() != QLockFile::LockFailedError;
}

void ReleaseSingleInstance() {
  delete server();
  heldLock().reset();
}

void OnSecondStart(std::function<void()> onCall) { secondStartHandler() = std::move(onCall); }

void CallRunningInstance(const QString& exeName, const QString& appFolder) {
  const QString base = InstanceBasePath(exeName, appFolder);
  if (base.isEmpty()) return;
  QLocalSocket socket;
  socket.connectToServer(base + u".socket"_s);
  if (!socket.waitForConnected(1000)) return;
  socket.write(SecondStartMessage, sizeof SecondStartMessage - 1);
  socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
}

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
