// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>

#include "pulse_output.h"
#include "tone_cache.h"
#include "tone_output.h"

namespace Sound {
namespace {

using namespace Qt::StringLiterals;

Player& TestPlayer() {
  static Player player;
  return player;
}

// Playback runs on a thread of its own, so the caller never waits for the disk, a decoder or the sound
// server. Only the newest request counts: requests that pile up while one is handled are dropped.
class PlaybackThread {
 public:
  PlaybackThread() {
    thread_.setObjectName(QStringLiteral("foldwarn-sound"));
    worker_.moveToThread(&thread_);
    thread_.start();
  }

  void play(const QString& path) {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    pending_ = path;
    if (busy_) return;  // the worker picks it up when it is done with the current one
    busy_ = true;
    QMetaObject::invokeMethod(
        &worker_, [this] { drain(); }, Qt::QueuedConnection);
  }

  void setOutput(std::unique_ptr<ToneOutput> output) {
    runOnWorker([&] { output_ = std::move(output); });
  }

  void waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ || stopped_; });
  }

  // Ends the thread before the process tears down what the sound server connection relies on.
  void stop() {
    {
      std::lock_guard lock(mutex_);
      if (stopped_) return;
      stopped_ = true;
      pending_.reset();
    }
    idle_.notify_all();
    runOnWorker([this] { output_.reset(); });
    thread_.quit();
    thread_.wait(3000);
  }

 private:
  template <typename F>
  void runOnWorker(F&& f) {
    if (QThread::currentThread() == &thread_) {
      f();
    } else if (thread_.isRunning()) {
      QMetaObject::invokeMethod(&worker_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
  }

  void drain() {
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
      playNow(path);
    }
  }

  // Memory running out for a tone costs that tone, not the program: the fallback plays instead, as for a file
  // that is no sound or a format the output cannot play.
  void playNow(const QString& path) {
    std::shared_ptr<const Tone> tone;
    try {
      if (!path.isEmpty()) tone = cache_.get(path);
    } catch (const std::bad_alloc&) {
    }
    const QString name = QFileInfo(path).fileName();
    if (!output_) output_ = MakePulseOutput();
    if (tone && playOut(tone, name)) return;
    if (const std::shared_ptr<const Tone> fallback = this->fallback(); fallback && fallback != tone)
      playOut(fallback, FallbackName);
  }

  bool playOut(const std::shared_ptr<const Tone>& tone, const QString& name) {
    try {
      return output_->play(tone, name);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  std::shared_ptr<const Tone> fallback() {
    if (!fallback_) fallback_ = DecodeToneFile(u":/"_s + FallbackName);
    return fallback_;
  }

  static constexpr QLatin1StringView FallbackName{"fallback.wav"};

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

void StopPlayback();

PlaybackThread& Playback() {
  // Never destroyed: a QThread must not be destroyed while running, and the stop hooks end it first.
  static PlaybackThread* instance = [] {
    auto* e = new PlaybackThread;
    qAddPostRoutine(StopPlayback);  // QApplication goes away
    return e;
  }();
  return *instance;
}

void StopPlayback() { Playback().stop(); }

}  // namespace

void PlaySoundFile(const QString& file) {
  if (TestPlayer()) {
    TestPlayer()(file);
    return;
  }
  Playback().play(file);
}

void SetPlayerForTesting(Player player) { TestPlayer() = std::move(player); }

void SetOutputForTesting(std::unique_ptr<ToneOutput> output) { Playback().setOutput(std::move(output)); }

void WaitForPlaybackForTesting() { Playback().waitIdle(); }

}  // namespace Sound
