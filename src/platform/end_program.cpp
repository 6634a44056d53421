// SPDX-License-Identifier: GPL-3.0-or-later
#include "end_program.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "end_program_testing.h"
#include "instance.h"

namespace Platform {
namespace {

ProgramEnd& TestEnd() {
  static ProgramEnd end;
  return end;
}

}  // namespace

void EndProgram(int exitCode) {
  if (TestEnd()) {
    TestEnd()(exitCode);
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

void SetEndProgramForTesting(ProgramEnd end) { TestEnd() = std::move(end); }

}  // namespace Platform
