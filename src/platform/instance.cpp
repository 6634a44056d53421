// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QVariant>
#include <cstdio>
#include <memory>

#include "file_name.h"
#include "runtime_folder.h"

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

// All a second start ever says; anything else arriving on the socket is dropped.
constexpr char SecondStartMessage[] = "foldwarn: started again\n";

std::unique_ptr<QLockFile>& HeldLock() {
  static std::unique_ptr<QLockFile> lock;
  return lock;
}

// Parented to the application, so it goes (and takes its socket file along) before Qt is torn down.
QPointer<QLocalServer>& Server() {
  static QPointer<QLocalServer> s;
  return s;
}

std::function<void()>& SecondStartHandler() {
  static std::function<void()> handler;
  return handler;
}

QString Hash(const QString& text) {
  return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

// Nobody else may enter the private folder; in the abstract namespace anyone may connect or listen, so both
// ends ask who is at the other.
bool SameUserAtOtherEnd(qintptr fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

void ReadSecondStart(QLocalSocket* socket) {
  const QByteArray received = socket->property("received").toByteArray() + socket->readAll();
  if (received == SecondStartMessage) {
    socket->disconnectFromServer();
    if (SecondStartHandler()) SecondStartHandler()();
  } else if (!QByteArray::fromRawData(SecondStartMessage, sizeof SecondStartMessage - 1).startsWith(received)) {
    socket->abort();
  } else {
    socket->setProperty("received", received);
  }
}

void Listen(const SecondStartSocket& socket) {
  if (!QCoreApplication::instance() || socket.name.isEmpty()) return;
  auto* s = new QLocalServer(QCoreApplication::instance());
  if (socket.abstract) {
    s->setSocketOptions(QLocalServer::AbstractNamespaceOption);
  } else {
    // We hold the lock: a socket file still there belongs to a run that has crashed.
    QLocalServer::removeServer(socket.name);
  }
  if (!s->listen(socket.name)) {
    // The program runs on, but a second start will end without raising this window: say so, once.
    static bool told = false;
    if (!told)
      std::fprintf(stderr, "foldwarn: a second start cannot reach this one (%s: %s)\n", qPrintable(socket.name),
                   qPrintable(s->errorString()));
    told = true;
    delete s;
    return;
  }
  QObject::connect(s, &QLocalServer::newConnection, s, [s] {
    while (QLocalSocket* socket = s->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      if (!SameUserAtOtherEnd(socket->socketDescriptor())) {
        socket->abort();
        continue;
      }
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] { ReadSecondStart(socket); });
      if (socket->bytesAvailable() > 0) ReadSecondStart(socket);
    }
  });
  Server() = s;
}

}  // namespace

QString InstanceLockPath(const QString& exeName, const QString& appFolder) {
  const QString folder = InstanceFolder();
  return folder.isEmpty() ? folder : folder + u'/' + exeName + u'-' + Hash(appFolder) + u".lock"_s;
}

SecondStartSocket SecondStartSocketFor(const QString& exeName, const QString& appFolder) {
  const QString folder = InstanceFolder();
  if (folder.isEmpty()) return {};
  const QString hash = Hash(appFolder + u'\0' + exeName);
  const QString path = folder + u'/' + hash + u".sock"_s;
  if (EncodeName(path).value_or(QByteArray()).size() < qsizetype(sizeof(sockaddr_un::sun_path))) return {path, false};
  return {u"/foldwarn-"_s + QString::number(::geteuid()) + u'-' + hash, true};
}

bool ClaimSingleInstance(const QString& exeName, const QString& appFolder) {
  const QString path = InstanceLockPath(exeName, appFolder);
  // Without a private folder there is no safe place for a lock; the program runs without one.
  if (path.isEmpty()) return true;
  std::unique_ptr<QLockFile>& held = HeldLock();
  if (held && held->fileName() == path) return true;
  ReleaseSingleInstance();
  auto lock = std::make_unique<QLockFile>(path);
  // Only a dead owner makes a lock stale: a running instance may hold it for weeks.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    held = std::move(lock);
    Listen(SecondStartSocketFor(exeName, appFolder));
    return true;
  }
  // A runtime folder we cannot write to is no sign of another instance.
  return lock->error() != QLockFile::LockFailedError;
}

void ReleaseSingleInstance() {
  delete Server();
  HeldLock().reset();
}

void OnSecondStart(std::function<void()> onCall) { SecondStartHandler() = std::move(onCall); }

void CallRunningInstance(const QString& exeName, const QString& appFolder) {
  const SecondStartSocket address = SecondStartSocketFor(exeName, appFolder);
  if (address.name.isEmpty()) return;
  QLocalSocket socket;
  if (address.abstract) socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(address.name);
  if (!socket.waitForConnected(1000) || !SameUserAtOtherEnd(socket.socketDescriptor())) return;
  socket.write(SecondStartMessage, sizeof SecondStartMessage - 1);
  socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
}

}  // namespace Platform
