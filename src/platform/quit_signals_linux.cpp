// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "quit_signals.h"

namespace Platform {
namespace {

int WakePipe[2] = {-1, -1};
std::function<void()> QuitHandler;

// Only async-signal-safe work here: the UI thread picks the byte up through the notifier.
void OnSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(WakePipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void OnQuitSignal(std::function<void()> handler) {
  QuitHandler = std::move(handler);
  if (WakePipe[0] >= 0) return;
  if (::pipe2(WakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;

  auto* notifier = new QSocketNotifier(WakePipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char buffer[64];
    while (::read(WakePipe[0], buffer, sizeof buffer) > 0) {
    }
    if (QuitHandler) QuitHandler();
  });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace Platform
