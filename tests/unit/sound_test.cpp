// SPDX-License-Identifier: GPL-3.0-or-later
// PlaySoundFile without an audio device: the tones reach a recording output on the playback thread.
#include "sound/sound.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <new>

#include "sound/tone_cache.h"
#include "sound/tone_output.h"
#include "support/qt_printers.h"
#include "support/tone_analysis.h"
#include "support/wave_files.h"

namespace {

// The playback thread runs an event loop, which wants an application object.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "sound_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QCoreApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

struct PlayLog {
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::shared_ptr<const Sound::Tone>> played;
  QStringList names;
  bool holdFirst = false;     // the first play waits until released, as a slow server would
  qint64 tooBigFrames = -1;   // a tone this long runs the output out of memory
  qint64 refusedFrames = -1;  // a tone this long comes in a format the output cannot play
  bool released = false;
  bool releasedInTime = false;

  std::vector<qint64> frames() {
    std::lock_guard lock(mutex);
    std::vector<qint64> out;
    for (const auto& t : played) out.push_back(t->frames());
    return out;
  }
  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    cv.notify_all();
  }
};

class RecordingOutput : public Sound::ToneOutput {
 public:
  explicit RecordingOutput(std::shared_ptr<PlayLog> log) : log_(std::move(log)) {}
  bool play(const std::shared_ptr<const Sound::Tone>& tone, const QString& name) override {
    std::unique_lock lock(log_->mutex);
    if (tone->frames() == log_->tooBigFrames) throw std::bad_alloc();
    if (tone->frames() == log_->refusedFrames) return false;
    log_->played.push_back(tone);
    log_->names.push_back(name);
    if (log_->holdFirst && log_->played.size() == 1)
      log_->releasedInTime = log_->cv.wait_for(lock, std::chrono::seconds(5), [&] { return log_->released; });
    return true;
  }

 private:
  std::shared_ptr<PlayLog> log_;
};

class PlaySoundFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    Sound::SetOutputForTesting(std::make_unique<RecordingOutput>(log_));
    WriteSine(Path("a.wav"), 440, 0.20);
    WriteSine(Path("b.wav"), 880, 0.30);
    WriteSine(Path("c.wav"), 660, 0.40);
  }
  void TearDown() override {
    log_->Release();
    Sound::WaitForPlaybackForTesting();
    Sound::SetPlayerForTesting({});
  }
  QString Path(const QString& name) const { return tmp_.path() + "/" + name; }
  static qint64 Frames(double seconds) { return qint64(seconds * 22050); }
  static qint64 FallbackFrames() { return Sound::DecodeToneFile(":/fallback.wav")->frames(); }

  QTemporaryDir tmp_;
  std::shared_ptr<PlayLog> log_ = std::make_shared<PlayLog>();
};

TEST_F(PlaySoundFileTest, PlaysTheFileOrTheFallback) {
  ASSERT_TRUE(Sound::DecodeToneFile(":/fallback.wav"));
  QFile corrupt(Path("corrupt.wav"));
  ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
  corrupt.write("RIFF....WAVEfmt this is not a sound");
  corrupt.close();
  struct Row {
    const char* name;
    QString file;
    qint64 frames;
    QString shownName;  // what the sound server shows for the stream
  };
  for (const Row& row : {Row{"ExistingFile", Path("b.wav"), Frames(0.30), "b.wav"},
                         Row{"MissingFile", Path("missing.wav"), FallbackFrames(), "fallback.wav"},
                         Row{"CorruptFile", Path("corrupt.wav"), FallbackFrames(), "fallback.wav"},
                         Row{"Folder", tmp_.path(), FallbackFrames(), "fallback.wav"},
                         Row{"EmptyName", QString(), FallbackFrames(), "fallback.wav"}}) {
    Sound::PlaySoundFile(row.file);
    Sound::WaitForPlaybackForTesting();
    ASSERT_FALSE(log_->played.empty()) << row.name;
    EXPECT_EQ(log_->frames().back(), row.frames) << row.name;
    EXPECT_EQ(log_->names.back(), row.shownName) << row.name;
  }
}

// A tone the output cannot take gives the fallback tone, and the next tone plays as usual.
TEST_F(PlaySoundFileTest, ToneTheOutputCannotTakeGivesTheFallback) {
  struct Row {
    const char* name;
    qint64 PlayLog::*failure;
  };
  for (const Row& row : {Row{"OutOfMemory", &PlayLog::tooBigFrames}, Row{"FormatRefused", &PlayLog::refusedFrames}}) {
    log_->played.clear();
    log_.get()->*row.failure = Frames(0.20);
    Sound::PlaySoundFile(Path("a.wav"));
    Sound::WaitForPlaybackForTesting();
    Sound::PlaySoundFile(Path("b.wav"));
    Sound::WaitForPlaybackForTesting();
    EXPECT_EQ(log_->frames(), (std::vector<qint64>{FallbackFrames(), Frames(0.30)})) << row.name;
    log_.get()->*row.failure = -1;
  }
}

TEST_F(PlaySoundFileTest, ReturnsWhileTheOutputIsStillBusy) {
  log_->holdFirst = true;
  Sound::PlaySoundFile(Path("a.wav"));
  // Had the call waited for the output, the output would have given up before this release.
  log_->Release();
  Sound::WaitForPlaybackForTesting();
  EXPECT_TRUE(log_->releasedInTime);
}

TEST_F(PlaySoundFileTest, NewestCallWins) {
  // The first tone holds the output; of the two calls that come meanwhile only the newer one plays.
  log_->holdFirst = true;
  Sound::PlaySoundFile(Path("a.wav"));
  while (log_->frames().empty()) QThread::msleep(1);
  Sound::PlaySoundFile(Path("b.wav"));
  Sound::PlaySoundFile(Path("c.wav"));
  log_->Release();
  Sound::WaitForPlaybackForTesting();
  EXPECT_EQ(log_->frames(), (std::vector<qint64>{Frames(0.20), Frames(0.40)}));
}

TEST_F(PlaySoundFileTest, TwoQuickCallsEndOnTheSecond) {
  Sound::PlaySoundFile(Path("a.wav"));
  Sound::PlaySoundFile(Path("b.wav"));
  Sound::WaitForPlaybackForTesting();
  const auto frames = log_->frames();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), Frames(0.30));
  EXPECT_LE(frames.size(), 2u);
}

TEST_F(PlaySoundFileTest, TestPlayerGetsTheNameUnchanged) {
  QStringList names;
  Sound::SetPlayerForTesting([&](const QString& file) { names << file; });
  Sound::PlaySoundFile("add.wav");
  Sound::WaitForPlaybackForTesting();
  EXPECT_EQ(names, QStringList{"add.wav"});
  EXPECT_TRUE(log_->played.empty());
}

}  // namespace
