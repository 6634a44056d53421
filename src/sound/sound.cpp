// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <new>

#include "jobs/background.h"
#include "platform/file_name.h"
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

// Playback runs on a thread of its own, so the caller never waits for a decoder or the sound server; it never
// touches the disk either: each tone is read and decoded by a job of its own, and a file on a share that hangs
// holds that job, not the other tones. Only the newest request counts: a tone still being read when the next is
// asked for is dropped, so a tone whose file hangs plays nothing.
class PlaybackThread {
 public:
  PlaybackThread() {
    thread_.setObjectName(QStringLiteral("foldwarn-sound"));
    worker_.moveToThread(&thread_);
    thread_.start();
  }

  void play(const QString& path) {
    if (stopped_) return;
    read_.start(path, [this, path](const Jobs::Background::Ticket& ticket) {
      // Memory running out for a tone costs that tone, not the program: the fallback plays instead, as for a
      // file that is no sound.
      std::shared_ptr<const Tone> tone;
      try {
        if (!path.isEmpty()) tone = cache_.get(path);
      } catch (const std::bad_alloc&) {
      }
      // The mixer shows the name as the screen does: a kept byte as the replacement character.
      ticket.deliver([this, tone, name = Platform::DisplayName(QFileInfo(path).fileName())] { playNow(tone, name); });
    });
  }

  void setOutput(std::unique_ptr<ToneOutput> output) {
    runOnWorker([&] { output_ = std::move(output); });
  }

  void waitIdle() {
    while (read_.busy() && !stopped_) QThread::msleep(1);
    runOnWorker([] {});  // what the last job handed over has played
  }

  // Ends the thread before the process tears down what the sound server connection relies on.
  void stop() {
    if (stopped_.exchange(true)) return;
    read_.cancel();
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

  // A tone that could not be read, or that the output cannot take, gives the fallback.
  void playNow(const std::shared_ptr<const Tone>& tone, const QString& name) {
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

  // Built into the program: no disk.
  std::shared_ptr<const Tone> fallback() {
    if (!fallback_) fallback_ = DecodeToneFile(u":/"_s + FallbackName);
    return fallback_;
  }

  static constexpr QLatin1StringView FallbackName{"fallback.wav"};

  QThread thread_;
  QObject worker_;
  Jobs::Background read_{&worker_};
  std::atomic<bool> stopped_{false};
  ToneCache cache_;  // shared by the jobs
  // Owned by the worker thread.
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
