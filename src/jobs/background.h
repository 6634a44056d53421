// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace Jobs {

// Runs jobs off the window's thread and hands their results to a receiver on the receiver's thread. Only the
// newest job counts: starting another or cancelling makes the older ones stale, and whatever they still hand
// over is dropped. A job that hangs (a dead network share) holds only its own thread; neither the receiver nor
// the end of the program waits for it. At most `abandonedLimit` stale jobs may still run beside the newest;
// past that, the newest waits for one of them to end instead of piling up threads.
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

  explicit Background(QObject* receiver, Priority priority = Priority::Normal, int abandonedLimit = 4);
  ~Background();
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  void start(std::function<void(const Ticket&)> job);
  void cancel();
  // True while the newest job runs or waits for a thread.
  bool busy() const;
  // Jobs of this helper whose threads still run, stale ones included.
  int running() const;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace Jobs
