// SPDX-License-Identifier: GPL-3.0-or-later
// The real program under Xvfb: closing its window the way a window manager does (WM_DELETE_WINDOW), or
// ending it by a signal as a logout or `kill` does, saves the settings and ends the process with exit code 0.
// A second start brings the minimised window back and ends at once.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "commands/private_profile.h"
#include "platform/instance.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The top-level window whose title is the given text, or none.
xcb_window_t FindWindow(xcb_connection_t* c, const QByteArray& title) {
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &std::free);
  if (!tree) return XCB_WINDOW_NONE;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> name(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr),
        &std::free);
    if (!name) continue;
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(name.get())),
                           xcb_get_property_value_length(name.get()));
    if (value == title) return children[i];
  }
  return XCB_WINDOW_NONE;
}

void SendDeleteWindow(xcb_connection_t* c, xcb_window_t window) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = Atom(c, "WM_PROTOCOLS");
  event.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(c);
}

// What a window manager does when the user minimises a window: it unmaps it and marks it iconic.
void Minimise(xcb_connection_t* c, xcb_window_t window) {
  const xcb_atom_t wmState = Atom(c, "WM_STATE");
  const uint32_t iconic[] = {3, XCB_WINDOW_NONE};
  xcb_unmap_window(c, window);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, wmState, wmState, 32, 2, iconic);
  xcb_flush(c);
}

bool Viewable(xcb_connection_t* c, xcb_window_t window) {
  std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
  return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QByteArray Contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How the program is told to end: the window manager's close message, or a signal.
struct Ending {
  const char* name;
  int signal;  // 0: WM_DELETE_WINDOW
};

void PrintTo(const Ending& e, std::ostream* os) { *os << e.name; }

class OnXvfb : public ::testing::Test {
 protected:
  QTemporaryDir root;
  QProcess xvfb, program;
  QString display;

  void SetUp() override {
    // Xvfb picks a free display itself and tells its number on standard output.
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"800x600x24"_s, u"-nolisten"_s, u"tcp"_s});
    ASSERT_TRUE(xvfb.waitForStarted(10000)) << "Xvfb is missing: scripts/setup installs it";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          xvfb.waitForReadyRead(100);
          return xvfb.canReadLine();
        },
        20000));
    display = u':' + QString::fromLatin1(xvfb.readLine().trimmed());
    ASSERT_GT(display.size(), 1);
  }
  void TearDown() override {
    for (QProcess* p : {&program, &xvfb}) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
    }
  }

  // A program folder with the program, its two tones and the given settings file; returns that file.
  QString ProgramFolder(const QString& folder, const QByteArray& settingsText) {
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(QFile::copy(QStringLiteral(FOLDWARN_EXECUTABLE), folder + u"/foldwarn"_s));
    for (const char* tone : {"add.wav", "remove.wav"}) {
      QFile f(folder + u'/' + QLatin1StringView(tone));
      EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString settings = folder + u"/foldwarn.ini"_s;
    QFile f(settings);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(settingsText);
    return settings;
  }

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, display);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    return env;
  }

  // The main window of the program once it shows, with start-up over.
  xcb_window_t WaitForWindow(xcb_connection_t* c) {
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!QTest::qWaitFor([&] { return (window = FindWindow(c, "Divuvadi Foldwarn")) != XCB_WINDOW_NONE; }, 20000)) {
      return XCB_WINDOW_NONE;
    }
    // Only after start-up has ended does the window hold what will be saved.
    QTest::qWait(500);
    return window;
  }
};

class CloseWindow : public OnXvfb, public ::testing::WithParamInterface<Ending> {};

TEST_P(CloseWindow, SavesTheSettingsAndEnds) {
  const QString folder = root.filePath(u"program"_s);
  const QString runtime = root.filePath(u"run"_s);
  ASSERT_TRUE(QDir().mkpath(runtime));
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString settings =
      ProgramFolder(folder, "; kept\n[Divuvadi Foldwarn]\nLetzterPfad=" + root.path().toUtf8() + "\nZeit=7\n");

  QProcessEnvironment env = Environment();
  env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(folder + u"/foldwarn"_s, {});
  ASSERT_TRUE(program.waitForStarted(10000));

  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  ASSERT_FALSE(xcb_connection_has_error(c));
  const xcb_window_t window = WaitForWindow(c);
  ASSERT_NE(window, XCB_WINDOW_NONE);
  ASSERT_EQ(program.state(), QProcess::Running);

  if (GetParam().signal != 0) {
    ASSERT_EQ(::kill(pid_t(program.processId()), GetParam().signal), 0);
  } else {
    SendDeleteWindow(c, window);
  }

  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  xcb_disconnect(c);

  const auto stored = [&](const char* key) {
    return Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, QLatin1StringView(key), settings);
  };
  EXPECT_EQ(stored("LetzterPfad"), root.path());
  EXPECT_EQ(stored("Zeit"), u"7"_s);
  EXPECT_EQ(stored("addSound"), u"add.wav"_s);
  EXPECT_EQ(stored("removeSound"), u"remove.wav"_s);
  QFile f(settings);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("; kept\n"));
  // The lock went with the program: the next start does not even need to find it stale.
  qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
  EXPECT_FALSE(QFile::exists(Platform::InstanceLockPath(u"foldwarn"_s, folder + u'/')));
}

// The temporary folder that holds the lock's private folder; a long one leaves no room for a socket's path.
struct TemporaryFolder {
  const char* name;
  qsizetype length;
  bool handsOverAFolder;
};

void PrintTo(const TemporaryFolder& t, std::ostream* os) { *os << t.name; }

class SecondStart : public OnXvfb, public ::testing::WithParamInterface<TemporaryFolder> {};

// Started again while its window is minimised: the window comes back, the second start ends with 0 at once,
// neither start reads or writes anything more, and a folder handed over is watched and saved at close. Without
// XDG_RUNTIME_DIR, so both use the lock's own private folder; neither says anything on standard error.
TEST_P(SecondStart, BringsTheMinimisedWindowBack) {
  const QString folder = root.filePath(u"program"_s);
  const QString settings =
      ProgramFolder(folder, "[Divuvadi Foldwarn]\nLetzterPfad=" + root.path().toUtf8() + "\nZeit=7\n");
  QString tmp = root.filePath(u"tmp"_s);
  while (tmp.size() < GetParam().length) tmp += u"/long-folder-name"_s;
  ASSERT_TRUE(QDir().mkpath(tmp));
  QProcessEnvironment env = Environment();
  env.remove(u"XDG_RUNTIME_DIR"_s);
  env.insert(u"TMPDIR"_s, tmp);
  program.setProcessEnvironment(env);
  program.start(folder + u"/foldwarn"_s, {});
  ASSERT_TRUE(program.waitForStarted(10000));

  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  ASSERT_FALSE(xcb_connection_has_error(c));
  const xcb_window_t window = WaitForWindow(c);
  ASSERT_NE(window, XCB_WINDOW_NONE);
  Minimise(c, window);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Viewable(c, window); }, 5000));
  QTest::qWait(300);  // the program learns that it is minimised
  const QByteArray before = Contents(settings);

  QProcess second;
  second.setProcessEnvironment(env);
  QElapsedTimer clock;
  clock.start();
  second.start(folder + u"/foldwarn"_s, GetParam().handsOverAFolder ? QStringList{tmp} : QStringList{});
  ASSERT_TRUE(second.waitForFinished(3000));
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(second.readAllStandardError(), QByteArray());

  EXPECT_TRUE(QTest::qWaitFor([&] { return Viewable(c, window); }, 5000));
  EXPECT_EQ(program.state(), QProcess::Running);
  EXPECT_EQ(Contents(settings), before);
  EXPECT_EQ(program.readAllStandardError(), QByteArray());
  if (GetParam().handsOverAFolder) {
    SendDeleteWindow(c, window);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(Commands::ReadProfileString(u"Divuvadi Foldwarn"_s, u"LetzterPfad"_s, settings), tmp + u'/');
  }
  xcb_disconnect(c);
}

INSTANTIATE_TEST_SUITE_P(Endings, CloseWindow,
                         ::testing::Values(Ending{"WindowManagerClose", 0}, Ending{"Sigterm", SIGTERM},
                                           Ending{"Sigint", SIGINT}, Ending{"Sighup", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Folders, SecondStart,
                         ::testing::Values(TemporaryFolder{"ShortTemporaryFolder", 0, false},
                                           TemporaryFolder{"TemporaryFolderOf120Characters", 120, false},
                                           TemporaryFolder{"HandingOverAFolder", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
