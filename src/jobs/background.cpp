// SPDX-License-Identifier: GPL-3.0-or-later
#include "background.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>
#include <atomic>
#include <optional>
#include <thread>

#include "platform/thread_priority.h"

namespace Jobs {
namespace {

// Jobs still running anywhere. When the application object goes, the program waits a moment for them: one
// still busy with Qt at exit would meet Qt's globals being torn down. A job stuck in the kernel is left behind.
struct Running {
  QMutex mutex;
  QWaitCondition finished;
  int count = 0;
};

Running& Jobs() {
  static Running* jobs = [] {
    qAddPostRoutine([] {
      Running& r = Jobs();
      const QDeadlineTimer deadline(2000);
      const QMutexLocker lock(&r.mutex);
      while (r.count > 0 && r.finished.wait(&r.mutex, deadline)) {
      }
    });
    return new Running;  // never freed: detached jobs may still look at it while the program ends
  }();
  return *jobs;
}

}  // namespace

struct Background::Shared {
  QMutex mutex;                 // held while posting, so the receiver cannot go away meanwhile
  QObject* receiver = nullptr;  // cleared when the helper goes
  std::atomic<quint64> current{0};
  Priority priority = Priority::Normal;
  int limit = 4;    // stale jobs that may still run
  int running = 0;  // threads of this helper, under mutex
  bool newestDone = true;
  struct Pending {
    std::function<void(const Ticket&)> job;
    quint64 generation;
  };
  std::optional<Pending> pending;  // the newest job, while too many stale ones still run
};

namespace {

void Launch(const std::shared_ptr<Background::Shared>& shared, std::function<void(const Background::Ticket&)> job,
            quint64 generation) {
  ++shared->running;  // caller holds shared->mutex
  Running& jobs = Jobs();
  {
    const QMutexLocker lock(&jobs.mutex);
    ++jobs.count;
  }
  // Detached: a job stuck in the kernel must not hold up the window or the end of the program.
  std::thread([shared, job = std::move(job), generation, &jobs]() mutable {
    if (shared->priority == Background::Priority::Low) Platform::LowerThreadPriority();
    job(Background::Ticket(shared, generation));
    job = nullptr;
    {
      const QMutexLocker lock(&shared->mutex);
      --shared->running;
      if (generation == shared->current.load()) shared->newestDone = true;
      if (shared->pending && shared->running <= shared->limit) {
        auto next = std::move(*shared->pending);
        shared->pending.reset();
        Launch(shared, std::move(next.job), next.generation);
      }
    }
    const QMutexLocker lock(&jobs.mutex);
    --jobs.count;
    jobs.finished.wakeAll();
  }).detach();
}

}  // namespace

Background::Ticket::Ticket(std::shared_ptr<Shared> shared, quint64 generation)
    : shared_(std::move(shared)), generation_(generation) {}

bool Background::Ticket::stale() const { return shared_->current.load() != generation_; }

void Background::Ticket::deliver(std::function<void()> step) const {
  const QMutexLocker lock(&shared_->mutex);
  if (!shared_->receiver || stale()) return;
  QMetaObject::invokeMethod(
      shared_->receiver,
      [shared = shared_, generation = generation_, step = std::move(step)] {
        // A newer job may have started after this was posted.
        if (shared->current.load() == generation) step();
      },
      Qt::QueuedConnection);
}

Background::Background(QObject* receiver, Priority priority, int abandonedLimit) : shared_(std::make_shared<Shared>()) {
  shared_->receiver = receiver;
  shared_->priority = priority;
  shared_->limit = abandonedLimit;
}

Background::~Background() {
  const QMutexLocker lock(&shared_->mutex);
  shared_->receiver = nullptr;
  ++shared_->current;
  shared_->pending.reset();
}

void Background::start(std::function<void(const Ticket&)> job) {
  const QMutexLocker lock(&shared_->mutex);
  const quint64 generation = ++shared_->current;
  shared_->newestDone = false;
  if (shared_->running <= shared_->limit) {
    shared_->pending.reset();
    Launch(shared_, std::move(job), generation);
  } else {
    shared_->pending = Shared::Pending{std::move(job), generation};
  }
}

void Background::cancel() {
  const QMutexLocker lock(&shared_->mutex);
  ++shared_->current;
  shared_->newestDone = true;
  shared_->pending.reset();
}

bool Background::busy() const {
  const QMutexLocker lock(&shared_->mutex);
  return !shared_->newestDone;
}

int Background::running() const {
  const QMutexLocker lock(&shared_->mutex);
  return shared_->running;
}

}  // namespace Jobs
