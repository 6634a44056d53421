// SPDX-License-Identifier: GPL-3.0-or-later
#include "background.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QWaitCondition>
#include <atomic>
#include <deque>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/thread_priority.h"

namespace Jobs {

struct Background::Shared {
  QObject* receiver = nullptr;  // cleared when the helper goes
  std::atomic<quint64> current{0};
  Priority priority = Priority::Normal;
  int running = 0;
  bool newestRuns = false;
  int handing = 0;  // steps posted to the receiver that have not run yet
  struct Pending {
    QString path;
    std::function<void(const Ticket&)> job;
    quint64 generation;
  };
  std::optional<Pending> pending;  // the newest job, while its path or a thread is taken
};

namespace {

// What all helpers share, under one lock: jobs are few, and one lock keeps the rules plain.
struct Registry {
  QMutex mutex;  // also held while posting, so a receiver cannot go away meanwhile
  QWaitCondition finished;
  int threads = 0;
  QSet<QString> paths;                                      // paths a job runs for
  std::deque<std::shared_ptr<Background::Shared>> waiting;  // helpers with a pending job, oldest first
  int failStarts = 0;
};

Registry& All() {
  static Registry* jobs = [] {
    // When the application object goes, the program waits a moment for jobs still busy with Qt, which would
    // meet Qt's globals being torn down. A job stuck in the kernel is left behind.
    qAddPostRoutine([] {
      Registry& all = All();
      const QDeadlineTimer deadline(2000);
      const QMutexLocker lock(&all.mutex);
      while (all.threads > 0 && all.finished.wait(&all.mutex, deadline)) {
      }
    });
    return new Registry;  // never freed: detached jobs may still look at it while the program ends
  }();
  return *jobs;
}

int ThreadLimit(Background::Priority priority) {
  return priority == Background::Priority::Low ? Background::MaxThreads - Background::ReservedThreads
                                               : Background::MaxThreads;
}

void Dispatch(Registry& all);

// Caller holds all.mutex. False when no thread could be started: the job is dropped, nothing counts it.
bool Launch(Registry& all, const std::shared_ptr<Background::Shared>& shared, Background::Shared::Pending pending) {
  const quint64 generation = pending.generation;
  const QString path = pending.path;
  try {
    if (all.failStarts > 0) {
      --all.failStarts;
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    // Detached: a job stuck in the kernel must not hold up the window or the end of the program.
    std::thread([shared, job = std::move(pending.job), generation, path, &all]() mutable {
      if (shared->priority == Background::Priority::Low) Platform::LowerThreadPriority();
      try {
        job(Background::Ticket(shared, generation));
      } catch (...) {  // a job that fails costs its answer, nothing more
      }
      job = nullptr;
      const QMutexLocker lock(&all.mutex);
      --all.threads;
      --shared->running;
      if (!path.isEmpty()) all.paths.remove(path);
      if (generation == shared->current.load()) shared->newestRuns = false;
      Dispatch(all);
      all.finished.wakeAll();
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  ++all.threads;
  ++shared->running;
  if (!path.isEmpty()) all.paths.insert(path);
  if (generation == shared->current.load()) shared->newestRuns = true;
  return true;
}

// Starts what waits, oldest first, as far as paths and threads allow. Caller holds all.mutex.
void Dispatch(Registry& all) {
  for (auto it = all.waiting.begin(); it != all.waiting.end();) {
    const std::shared_ptr<Background::Shared> shared = *it;
    if (!shared->pending) {
      it = all.waiting.erase(it);
      continue;
    }
    if (all.paths.contains(shared->pending->path) || all.threads >= ThreadLimit(shared->priority)) {
      ++it;
      continue;
    }
    it = all.waiting.erase(it);
    Background::Shared::Pending pending = std::move(*shared->pending);
    shared->pending.reset();
    if (!Launch(all, shared, std::move(pending))) return;  // out of threads: the rest waits for the next chance
  }
}

}  // namespace

Background::Ticket::Ticket(std::shared_ptr<Shared> shared, quint64 generation)
    : shared_(std::move(shared)), generation_(generation) {}

bool Background::Ticket::stale() const { return shared_->current.load() != generation_; }

void Background::Ticket::deliver(std::function<void()> step) const {
  const QMutexLocker lock(&All().mutex);
  if (!shared_->receiver || stale()) return;
  ++shared_->handing;
  QMetaObject::invokeMethod(
      shared_->receiver,
      [shared = shared_, generation = generation_, step = std::move(step)] {
        // A newer job may have started after this was posted.
        if (shared->current.load() == generation) step();
        const QMutexLocker lock(&All().mutex);
        --shared->handing;
      },
      Qt::QueuedConnection);
}

Background::Background(QObject* receiver, Priority priority) : shared_(std::make_shared<Shared>()) {
  shared_->receiver = receiver;
  shared_->priority = priority;
}

Background::~Background() {
  Registry& all = All();
  const QMutexLocker lock(&all.mutex);
  shared_->receiver = nullptr;
  ++shared_->current;
  shared_->pending.reset();
  std::erase(all.waiting, shared_);
}

void Background::start(std::function<void(const Ticket&)> job) { start(QString(), std::move(job)); }

void Background::start(const QString& path, std::function<void(const Ticket&)> job) {
  Registry& all = All();
  const QMutexLocker lock(&all.mutex);
  const quint64 generation = ++shared_->current;
  shared_->newestRuns = false;
  if (!shared_->pending) all.waiting.push_back(shared_);
  shared_->pending = Shared::Pending{path, std::move(job), generation};
  Dispatch(all);
}

void Background::cancel() {
  const QMutexLocker lock(&All().mutex);
  ++shared_->current;
  shared_->newestRuns = false;
  shared_->pending.reset();
}

bool Background::busy() const {
  const QMutexLocker lock(&All().mutex);
  return shared_->newestRuns || shared_->pending || shared_->handing > 0;
}

int Background::running() const {
  const QMutexLocker lock(&All().mutex);
  return shared_->running;
}

void Background::failThreadStartsForTesting(int count) {
  const QMutexLocker lock(&All().mutex);
  All().failStarts = count;
}

}  // namespace Jobs
