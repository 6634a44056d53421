// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace Controls {

// Reads on threads of their own, for a control on the window's thread. Only the newest read counts: starting
// another one or cancelling tells the older ones to stop, and whatever they still hand over is dropped. A read
// that hangs (a dead network share) holds only its own thread; the control can go away without waiting for it.
class BackgroundRead {
 public:
  struct Shared;
  class Ticket {
   public:
    Ticket(std::shared_ptr<Shared> shared, quint64 generation);
    // True once a newer read has started or the control is gone: the read may stop.
    bool stale() const;
    // Runs the step on the control's thread, unless the read is stale by then.
    void deliver(std::function<void()> step) const;

   private:
    std::shared_ptr<Shared> shared_;
    quint64 generation_;
  };

  explicit BackgroundRead(QObject* receiver);
  ~BackgroundRead();
  BackgroundRead(const BackgroundRead&) = delete;
  BackgroundRead& operator=(const BackgroundRead&) = delete;

  void start(std::function<void(const Ticket&)> read);
  void cancel();

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace Controls
