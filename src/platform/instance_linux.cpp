// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <cstdio>
#include <memory>
#include <optional>

#include "file_name.h"
#include "instance.h"
#include "runtime_folder.h"

using namespace Qt::StringLiterals;

namespace Platform {
namespace {

// All a second start ever says: that it was started again, or that it was started with a folder to open, the
// folder's bytes following up to the end. Anything else arriving on the socket is dropped.
constexpr QByteArrayView StartedAgain = "foldwarn: started again\n";
constexpr QByteArrayView OpenFolder = "foldwarn: open folder\n";
// A path the kernel takes is far shorter; past this, nobody is sending a folder.
constexpr qsizetype MaxMessage = 64 * 1024;

std::unique_ptr<QLockFile>& HeldLock() {
  static std::unique_ptr<QLockFile> lock;
  return lock;
}

// Parented to the application, so it goes (and takes its socket file along) before Qt is torn down.
QPointer<QLocalServer>& Server() {
  static QPointer<QLocalServer> s;
  return s;
}

std::function<void(const QString&)>& SecondStartHandler() {
  static std::function<void(const QString&)> handler;
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

bool CanBecomeMessage(QByteArrayView received) {
  return received.size() <= MaxMessage &&
         (StartedAgain.startsWith(received) || OpenFolder.startsWith(received) || received.startsWith(OpenFolder));
}

void Deliver(QByteArrayView message) {
  if (!SecondStartHandler()) return;
  if (message == StartedAgain) {
    SecondStartHandler()(QString());
  } else if (message.startsWith(OpenFolder) && message.sliced(OpenFolder.size()).startsWith('/')) {
    SecondStartHandler()(DecodeName(message.sliced(OpenFolder.size())));
  }
}

// A message is whole when the caller hangs up.
void Serve(QLocalSocket* socket) {
  auto received = std::make_shared<std::optional<QByteArray>>(QByteArray());  // nothing once dropped
  const auto read = [socket, received] {
    if (!*received) return;
    **received += socket->readAll();
    if (!CanBecomeMessage(**received)) {
      received->reset();
      socket->abort();
    }
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
  QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket, received, read] {
    read();
    if (*received) Deliver(**received);
    received->reset();
    socket->deleteLater();
  });
  if (socket->bytesAvailable() > 0) read();
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
      if (!SameUserAtOtherEnd(socket->socketDescriptor())) {
        socket->abort();
        socket->deleteLater();
        continue;
      }
      Serve(socket);
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
  // Without a private folder there is no safe place for a lock; the program runs without one, and says so.
  if (path.isEmpty()) {
    std::fputs("foldwarn: no private runtime folder for the lock: a second copy will not be noticed\n", stderr);
    return true;
  }
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
  if (lock->error() == QLockFile::LockFailedError) return false;
  // A runtime folder that is full or read-only is no sign of another instance.
  std::fprintf(stderr, "foldwarn: no lock can be made in %s: a second copy will not be noticed\n",
               qPrintable(QFileInfo(path).path()));
  return true;
}

void ReleaseSingleInstance() {
  delete Server();
  HeldLock().reset();
}

void OnSecondStart(std::function<void(const QString&)> onCall) { SecondStartHandler() = std::move(onCall); }

bool CallRunningInstance(const QString& exeName, const QString& appFolder, const QString& folder) {
  const SecondStartSocket address = SecondStartSocketFor(exeName, appFolder);
  QLocalSocket socket;
  if (address.abstract) socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(address.name);
  if (!socket.waitForConnected(1000)) {
    std::fprintf(stderr, "foldwarn: already running, but it cannot be reached (%s: %s)\n", qPrintable(address.name),
                 qPrintable(socket.errorString()));
    return false;
  }
  // Another user listening first on an abstract name would hear the folder and answer nothing.
  if (!SameUserAtOtherEnd(socket.socketDescriptor())) {
    std::fprintf(stderr, "foldwarn: already running, but %s is held by another user: nothing was handed over\n",
                 qPrintable(address.name));
    return false;
  }
  const QByteArray message = folder.isEmpty() ? StartedAgain.toByteArray()
                                              : OpenFolder.toByteArray() + EncodeName(folder).value_or(QByteArray());
  socket.write(message);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState && !socket.waitForDisconnected(1000)) {
    std::fprintf(stderr, "foldwarn: already running, but it does not answer (%s)\n", qPrintable(address.name));
    return false;
  }
  return true;
}

}  // namespace Platform
