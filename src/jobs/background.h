// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace Jobs {

// Runs jobs off the window's thread and hands their results to a receiver on the receiver's thread. Only the
// newest job counts: starting another or cancelling makes the older ones stale, and whatever they still hand
// over is dropped. A job that hangs (a dead network share) holds only its own thread; neither the receiver nor
// the end of the program waits for it.
//
// Threads are bounded by what hangs, not by how often the user asks, across all helpers of the program: a job
// names the path it reads, and while a job for that path still runs, a new one for it waits instead of taking
// another thread. Past a program-wide number of threads, jobs wait for one to end; the last few threads are kept
// for the watch, the tones and lookups (Normal), so browsing (Low) hung shares cannot take them all.
class Background {
 public:
  enum class Priority { Normal, Low };

  struct Shared;
  class Ticket {
   public:
    Ticket(std::shared_ptr<Shared> shared, quint64 generation);
    // True once a newer job has started or the receiver is gone: the job may stop.
    bool stale() const;
    // Runs the step on the receiver's thread, unless the job is stale by then.
    void deliver(std::function<void()> step) const;

   private:
    std::shared_ptr<Shared> shared_;
    quint64 generation_;
  };

  static constexpr int MaxThreads = 16;
  static constexpr int ReservedThreads = 4;  // never taken by Low jobs

  explicit Background(QObject* receiver, Priority priority = Priority::Normal);
  ~Background();
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  // A job that reads no path of its own.
  void start(std::function<void(const Ticket&)> job);
  // A job that reads `path` (a folder, a file, a volume): it waits while a job of any helper for the same path
  // still runs.
  void start(const QString& path, std::function<void(const Ticket&)> job);
  void cancel();
  // True while the newest job runs or waits for its path or a thread, and until what it handed over has run. A
  // thread that could not be started (a process limit) drops its job: the caller's next start tries again.
  bool busy() const;
  // Jobs of this helper whose threads still run, stale ones included.
  int running() const;

  // Tests make the next thread starts fail as a process limit would.
  static void failThreadStartsForTesting(int count);

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace Jobs
