// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstring>

#include "platform/file_name.h"
#include "platform/runtime_folder.h"
#include "support/qt_printers.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

namespace {

constexpr uid_t Nobody = 65534;

// Where the lock goes, and what another user may have left at the names it would take.
TEST(InstanceFolder, OnlyAPrivateFolderOfTheUsersOwnHoldsTheLock) {
  enum Runtime { Unset, Own, OtherUsers };
  enum Planted { Nothing, OtherUsersFolder, OpenFolder, Link };
  enum Expected { RuntimeFolder, TemporaryFolder, CacheFolder };
  struct Case {
    const char* name;
    Runtime runtime;
    Planted planted;
    Expected expected;
  };
  const Case cases[] = {
      {"RuntimeFolder", Own, Nothing, RuntimeFolder},
      {"RuntimeFolderOfAnotherUser", OtherUsers, Nothing, TemporaryFolder},
      {"NoRuntimeFolder", Unset, Nothing, TemporaryFolder},
      {"PlantedByAnotherUser", Unset, OtherUsersFolder, CacheFolder},
      {"PlantedOpenToAll", Unset, OpenFolder, CacheFolder},
      {"PlantedLink", Unset, Link, CacheFolder},
  };
  const QString appFolder = u"/opt/foldwarn/"_s;
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTmp = qgetenv("TMPDIR"),
                   savedCache = qgetenv("XDG_CACHE_HOME");
  const QString lockName = [&] {
    QTemporaryDir run;  // private: looking up the name makes no folder
    qputenv("XDG_RUNTIME_DIR", run.path().toUtf8());
    return QFileInfo(Platform::InstanceLockPath(u"foldwarn"_s, appFolder)).fileName();
  }();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool needsRoot = c.runtime == OtherUsers || c.planted == OtherUsersFolder;
    if (needsRoot && ::geteuid() != 0) continue;  // only root can hand a folder to another user
    QTemporaryDir root;
    const QString runtime = root.filePath(u"run"_s), tmp = root.filePath(u"tmp"_s), cache = root.filePath(u"cache"_s);
    for (const QString& folder : {runtime, tmp}) ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
    if (c.runtime == Unset) {
      qunsetenv("XDG_RUNTIME_DIR");
    } else {
      qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
      if (c.runtime == OtherUsers) {
        ASSERT_EQ(::chown(QFile::encodeName(runtime).constData(), Nobody, Nobody), 0);
      }
    }
    qputenv("TMPDIR", tmp.toUtf8());
    qputenv("XDG_CACHE_HOME", cache.toUtf8());

    // The name the lock would take without a runtime folder, planted with a lock of a living instance.
    const QString plantedName = tmp + u"/foldwarn-"_s + QString::number(::geteuid());
    const QString planted = c.planted == Link ? root.filePath(u"elsewhere"_s) : plantedName;
    std::unique_ptr<QLockFile> plantedLock;
    if (c.planted != Nothing) {
      ASSERT_EQ(::mkdir(QFile::encodeName(planted).constData(), 0700), 0);
      plantedLock = std::make_unique<QLockFile>(planted + u'/' + lockName);
      ASSERT_TRUE(plantedLock->tryLock(0));
      const QByteArray name = QFile::encodeName(planted);
      if (c.planted == OtherUsersFolder) {
        ASSERT_EQ(::chown(name.constData(), Nobody, Nobody), 0);
      } else if (c.planted == OpenFolder) {
        ASSERT_EQ(::chmod(name.constData(), 0777), 0);
      } else if (c.planted == Link) {
        ASSERT_TRUE(QFile::link(planted, plantedName));
      }
    }

    const QString expected = c.expected == RuntimeFolder     ? runtime
                             : c.expected == TemporaryFolder ? plantedName
                                                             : cache + u"/foldwarn-run"_s;
    EXPECT_EQ(Platform::InstanceFolder(), expected);
    struct stat st {};
    EXPECT_TRUE(::lstat(QFile::encodeName(expected).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
                (st.st_mode & 0777) == 0700 && st.st_uid == ::geteuid());
    // The planted lock stops nothing.
    EXPECT_TRUE(Platform::ClaimSingleInstance(u"foldwarn"_s, appFolder));
    EXPECT_TRUE(QFile::exists(expected + u'/' + lockName));
    Platform::ReleaseSingleInstance();
  }
  const auto restore = [](const char* name, const QByteArray& value) {
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
  };
  restore("XDG_RUNTIME_DIR", savedRuntime);
  restore("TMPDIR", savedTmp);
  restore("XDG_CACHE_HOME", savedCache);
}

// A second start is heard on the socket, with its folder byte for byte, even where a crashed run left its socket
// file, and with a runtime folder that leaves no room for a socket's name; whatever else arrives is dropped.
TEST(SecondStart, OnlyTheSecondStartsCallIsHeard) {
  int argc = 1;
  char name[] = "instance_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
  const QString appFolder = u"/opt/foldwarn/"_s;
  struct Case {
    const char* name;
    qsizetype runtimeLength;
    bool abstract;
  };
  const Case cases[] = {{"ShortRuntimeFolder", 0, false}, {"RuntimeFolderOf100Characters", 100, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir root;
    QString runtime = root.path();
    while (runtime.size() < c.runtimeLength) runtime += u"/long-folder-name"_s;
    ASSERT_TRUE(QDir().mkpath(runtime));
    ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    const Platform::SecondStartSocket address = Platform::SecondStartSocketFor(u"foldwarn"_s, appFolder);
    ASSERT_EQ(address.abstract, c.abstract);

    // A crashed run's socket: the file is there, nobody listens.
    if (!address.abstract) {
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un socketAddress{};
      socketAddress.sun_family = AF_UNIX;
      const QByteArray path = QFile::encodeName(address.name);
      std::memcpy(socketAddress.sun_path, path.constData(), path.size());
      ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress), 0);
      ::close(fd);
    }
    // Another user listening first on an abstract name: the call is refused, never handed to him.
    if (address.abstract && ::geteuid() == 0) {
      const int foreign = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un socketAddress{};
      socketAddress.sun_family = AF_UNIX;
      const QByteArray abstractName = QFile::encodeName(address.name);
      std::memcpy(socketAddress.sun_path + 1, abstractName.constData(), abstractName.size());
      {
        const ScopedUnprivileged other;
        ASSERT_EQ(::bind(foreign, reinterpret_cast<sockaddr*>(&socketAddress),
                         socklen_t(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size())),
                  0);
        ASSERT_EQ(::listen(foreign, 4), 0);
      }
      EXPECT_FALSE(Platform::CallRunningInstance(u"foldwarn"_s, appFolder, u"/srv/scans/"_s));
      ::close(foreign);
    }
    QStringList heard;
    Platform::OnSecondStart([&](const QString& folder) { heard.append(folder); });
    ASSERT_TRUE(Platform::ClaimSingleInstance(u"foldwarn"_s, appFolder));

    const auto settle = [] {
      const QDeadlineTimer deadline(150);
      while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    const QByteArray others[] = {"", "hello\n", "foldwarn: started", "foldwarn: started again\nand more",
                                 QByteArray(100000, 'x')};
    for (const QByteArray& bytes : others) {
      QLocalSocket socket;
      if (address.abstract) socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
      socket.connectToServer(address.name);
      ASSERT_TRUE(socket.waitForConnected(1000)) << bytes.left(40).toStdString();
      socket.write(bytes);
      socket.waitForBytesWritten(1000);
      settle();
      socket.disconnectFromServer();
      settle();
      EXPECT_EQ(heard, QStringList()) << bytes.left(40).toStdString();
    }
    const QString folder = Platform::DecodeName("/media/stick/M\xe4rz\n/");
    EXPECT_TRUE(Platform::CallRunningInstance(u"foldwarn"_s, appFolder, folder));
    settle();
    EXPECT_EQ(heard, QStringList{folder});

    Platform::ReleaseSingleInstance();
    Platform::OnSecondStart({});
    if (!address.abstract) EXPECT_FALSE(QFile::exists(address.name));
  }
  savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

}  // namespace
