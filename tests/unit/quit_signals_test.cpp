// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// Each of the three signals reaches the handler on the event loop, not inside the signal handler.
TEST(QuitSignals, EndingSignalsReachTheHandlerOnTheEventLoop) {
  int argc = 1;
  char name[] = "quit_signals_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    int calls = 0;
    Platform::OnQuitSignal([&] {
      ++calls;
      QCoreApplication::quit();
    });
    QTimer::singleShot(0, [sig] { ::raise(sig); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // never hang the suite
    EXPECT_EQ(app.exec(), 0) << sig;
    EXPECT_EQ(calls, 1) << sig;
  }
}

}  // namespace
