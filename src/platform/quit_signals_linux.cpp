// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "quit_signals.h"

namespace Platform {
namespace {

int wakePipe[2] = {-1, -1};
std::function<void()> quitHandler;

// Only async-signal-safe work here: the UI thread picks the byte up through the notifier.
void onSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(wakePipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void OnQuitSignal(std::function<void()> handler) {
  quitHandler = std::move(handler);
  if (wakePipe[0] >= 0) return;
  if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;

  auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char buffer[64];
    while (::read(wakePipe[0], buffer, sizeof buffer) > 0) {
    }
    if (quitHandler) quitHandler();
  });

  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace Platform
