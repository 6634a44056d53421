// SPDX-License-Identifier: GPL-3.0-or-later
#include "background_read.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>
#include <atomic>
#include <thread>

namespace Controls {

namespace {

// Reads still running. When the application object goes, the program waits a moment for them: one still
// busy with Qt at exit would meet Qt's globals being torn down. A read stuck in the kernel is left behind.
struct Running {
  QMutex mutex;
  QWaitCondition finished;
  int count = 0;
};

Running& Reads() {
  static Running* reads = [] {
    qAddPostRoutine([] {
      Running& r = Reads();
      const QDeadlineTimer deadline(2000);
      const QMutexLocker lock(&r.mutex);
      while (r.count > 0 && r.finished.wait(&r.mutex, deadline)) {
      }
    });
    return new Running;  // never freed: detached reads may still look at it while the program ends
  }();
  return *reads;
}

}  // namespace

struct BackgroundRead::Shared {
  QMutex mutex;                 // held while posting, so the receiver cannot go away meanwhile
  QObject* receiver = nullptr;  // cleared when the control goes
  std::atomic<quint64> current{0};
};

BackgroundRead::Ticket::Ticket(std::shared_ptr<Shared> shared, quint64 generation)
    : shared_(std::move(shared)), generation_(generation) {}

bool BackgroundRead::Ticket::stale() const { return shared_->current.load() != generation_; }

void BackgroundRead::Ticket::deliver(std::function<void()> step) const {
  const QMutexLocker lock(&shared_->mutex);
  if (!shared_->receiver || stale()) return;
  QMetaObject::invokeMethod(
      shared_->receiver,
      [shared = shared_, generation = generation_, step = std::move(step)] {
        // A newer read may have started after this was posted.
        if (shared->current.load() == generation) step();
      },
      Qt::QueuedConnection);
}

BackgroundRead::BackgroundRead(QObject* receiver) : shared_(std::make_shared<Shared>()) {
  shared_->receiver = receiver;
}

BackgroundRead::~BackgroundRead() {
  const QMutexLocker lock(&shared_->mutex);
  shared_->receiver = nullptr;
  cancel();
}

void BackgroundRead::start(std::function<void(const Ticket&)> read) {
  const Ticket ticket(shared_, ++shared_->current);
  Running& reads = Reads();
  {
    const QMutexLocker lock(&reads.mutex);
    ++reads.count;
  }
  // Detached: a read stuck in the kernel must not hold up the window or the end of the program.
  std::thread([ticket, read = std::move(read), &reads]() mutable {
    // Sorting a big folder takes a core for a while; on a busy machine the window's thread goes first.
    ::setpriority(PRIO_PROCESS, ::gettid(), 10);
    read(ticket);
    read = nullptr;
    const QMutexLocker lock(&reads.mutex);
    --reads.count;
    reads.finished.wakeAll();
  }).detach();
}

void BackgroundRead::cancel() { ++shared_->current; }

}  // namespace Controls
