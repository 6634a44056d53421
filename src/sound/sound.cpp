// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>

#include "tone_cache.h"
#include "tone_output.h"

namespace Sound {
namespace {

Player& testPlayer() {
  static Player player;
  return player;
}

// Playback runs on a thread of its own, so the caller never waits for the disk, a decoder or the sound
// server. Only the newest request counts: requests that pile up while one is handled are dropped.
class Engine {
 public:
  Engine() {
    thread_.setObjectName(QStringLiteral("foldwarn-sound"));
    worker_.moveToThread(&thread_);
    thread_.start();
  }

  void Play(const QString& path) {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    pending_ = path;
    if (busy_) return;  // the worker picks it up when it is done with the current one
    busy_ = true;
    QMetaObject::invokeMethod(
        &worker_, [this] { Drain(); }, Qt::QueuedConnection);
  }

  void SetOutput(std::unique_ptr<ToneOutput> output) {
    RunOnWorker([&] { output_ = std::move(output); });
  }

  void WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ || stopped_; });
  }

  // Ends the thread before the process tears down what the sound server connection relies on.
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      if (stopped_) return;
      stopped_ = true;
      pending_.reset();
    }
    idle_.notify_all();
    RunOnWorker([this] { output_.reset(); });
    thread_.quit();
    thread_.wait(3000);
  }

 private:
  template <typename F>
  void RunOnWorker(F&& f) {
    if (QThread::currentThread() == &thread_) {
      f();
    } else if (thread_.isRunning()) {
      QMetaObject::invokeMethod(&worker_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
  }

  void Drain() {
    for (;;) {
      QString path;
      {
        std::lock_guard lock(mutex_);
        if (!pending_ || stopped_) {
          busy_ = false;
          idle_.notify_all();
          return;
        }
        path = *std::exchange(pending_, std::nullopt);
      }
      PlayNow(path);
    }
  }

  // Memory running out for a tone (decoding or converting it) costs that tone, not the program: the fallback
  // plays instead, as for a file that is no sound.
  void PlayNow(const QString& path) {
    std::shared_ptr<const Tone> tone;
    try {
      if (!path.isEmpty()) tone = cache_.Get(path);
    } catch (const std::bad_alloc&) {
    }
    if (!tone) tone = Fallback();
    if (!tone) return;
    if (!output_) output_ = MakeDeviceOutput();
    if (PlayOut(tone)) return;
    if (const std::shared_ptr<const Tone> fallback = Fallback(); fallback && fallback != tone) PlayOut(fallback);
  }

  bool PlayOut(const std::shared_ptr<const Tone>& tone) {
    try {
      output_->Play(tone);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  std::shared_ptr<const Tone> Fallback() {
    if (!fallback_) fallback_ = DecodeToneFile(QStringLiteral(":/fallback.wav"));
    return fallback_;
  }

  QThread thread_;
  QObject worker_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::optional<QString> pending_;
  bool busy_ = false;
  bool stopped_ = false;
  // Owned by the worker thread.
  ToneCache cache_;
  std::shared_ptr<const Tone> fallback_;
  std::unique_ptr<ToneOutput> output_;
};

void StopEngine();

Engine& engine() {
  // Never destroyed: a QThread must not be destroyed while running, and the stop hooks end it first.
  static Engine* instance = [] {
    auto* e = new Engine;
    qAddPostRoutine(StopEngine);  // QApplication goes away
    return e;
  }();
  return *instance;
}

void StopEngine() { engine().Stop(); }

}  // namespace

void PlaySoundFile(const QString& file) {
  if (testPlayer()) {
    testPlayer()(file);
    return;
  }
  engine().Play(file);
}

void SetPlayerForTesting(Player player) { testPlayer() = std::move(player); }

void SetOutputForTesting(std::unique_ptr<ToneOutput> output) { engine().SetOutput(std::move(output)); }

void WaitForPlaybackForTesting() { engine().WaitIdle(); }

}  // namespace Sound
