// PlaySoundFile without an audio device: the tones reach a recording output on the playback thread.
#include "services/sound.h"

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

#include "services/tone_cache.h"
#include "services/tone_output.h"
#include "startup/commands.h"
#include "support/qt_printers.h"
#include "support/tone_analysis.h"

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

// A sine wave file whose length and pitch tell it apart from the others.
void WriteSine(const QString& path, double hz, double seconds, int rate = 22050) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  ASSERT_TRUE(f) << path;
  std::vector<float> x(size_t(seconds * rate));
  for (size_t i = 0; i < x.size(); ++i) x[i] = float(0.5 * std::sin(2 * M_PI * hz * double(i) / rate));
  sf_writef_float(f, x.data(), sf_count_t(x.size()));
  sf_close(f);
}

struct PlayLog {
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::shared_ptr<const Sound::Tone>> played;
  bool holdFirst = false;  // the first Play waits until released, as a slow device would
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
  void Play(const std::shared_ptr<const Sound::Tone>& tone) override {
    std::unique_lock lock(log_->mutex);
    log_->played.push_back(tone);
    if (log_->holdFirst && log_->played.size() == 1)
      log_->releasedInTime = log_->cv.wait_for(lock, std::chrono::seconds(5), [&] { return log_->released; });
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
    savedAppFolder_ = Commands::AppFolder;
  }
  void TearDown() override {
    log_->Release();
    Sound::WaitForPlaybackForTesting();
    Commands::AppFolder = savedAppFolder_;
    Sound::SetPlayerForTesting({});
  }
  QString Path(const QString& name) const { return tmp_.path() + "/" + name; }
  static qint64 Frames(double seconds) { return qint64(seconds * 22050); }
  static qint64 FallbackFrames() { return Sound::DecodeToneFile(":/fallback.wav")->frames(); }

  QTemporaryDir tmp_;
  std::shared_ptr<PlayLog> log_ = std::make_shared<PlayLog>();
  QString savedAppFolder_;
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
  };
  for (const Row& row :
       {Row{"ExistingFile", Path("b.wav"), Frames(0.30)}, Row{"MissingFile", Path("missing.wav"), FallbackFrames()},
        Row{"CorruptFile", Path("corrupt.wav"), FallbackFrames()}, Row{"Folder", tmp_.path(), FallbackFrames()},
        Row{"EmptyName", QString(), FallbackFrames()}}) {
    Sound::PlaySoundFile(row.file);
    Sound::WaitForPlaybackForTesting();
    ASSERT_FALSE(log_->played.empty()) << row.name;
    EXPECT_EQ(log_->frames().back(), row.frames) << row.name;
  }
}

TEST_F(PlaySoundFileTest, BareNameIsTakenFromTheProgramFolder) {
  Commands::AppFolder = tmp_.path() + "/";
  Sound::PlaySoundFile("c.wav");
  Sound::WaitForPlaybackForTesting();
  EXPECT_EQ(log_->frames(), std::vector<qint64>{Frames(0.40)});
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

TEST(ResolveToneFile, BareNamesGoToTheProgramFolder) {
  const QString saved = Commands::AppFolder;
  Commands::AppFolder = "/opt/foldwarn/";
  struct Row {
    const char* name;
    QString file, expected;
  };
  for (const Row& row : {Row{"BareName", "add.wav", "/opt/foldwarn/add.wav"},
                         Row{"NameWithBlanks", "neue datei.wav", "/opt/foldwarn/neue datei.wav"},
                         Row{"AbsolutePath", "/usr/share/sounds/x.wav", "/usr/share/sounds/x.wav"},
                         Row{"RelativeWithFolder", "tones/x.wav", "tones/x.wav"}, Row{"Empty", "", ""}})
    EXPECT_EQ(Sound::ResolveToneFile(row.file), row.expected) << row.name;
  Commands::AppFolder = saved;
}

class ToneCacheTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return tmp_.path() + "/" + name; }
  static void SetModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
  }
  QTemporaryDir tmp_;
  Sound::ToneCache cache_{3};
};

TEST_F(ToneCacheTest, SecondUseDoesNotDecodeAgain) {
  WriteSine(Path("a.wav"), 440, 0.2);
  const auto first = cache_.Get(Path("a.wav"));
  const auto second = cache_.Get(Path("a.wav"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first, second);
  EXPECT_EQ(cache_.decodeCount(), 1);
}

TEST_F(ToneCacheTest, ChangedFileIsDecodedAgain) {
  const QString path = Path("a.wav");
  WriteSine(path, 440, 0.2);
  const QDateTime stamp = QDateTime::currentDateTime().addSecs(-100);
  SetModified(path, stamp);
  ASSERT_TRUE(cache_.Get(path));

  // Other length.
  WriteSine(path, 440, 0.3);
  auto tone = cache_.Get(path);
  ASSERT_TRUE(tone);
  EXPECT_EQ(tone->frames(), qint64(0.3 * 22050));

  // Same length, other pitch, other time.
  WriteSine(path, 1000, 0.3);
  SetModified(path, stamp.addSecs(10));
  tone = cache_.Get(path);
  ASSERT_TRUE(tone);
  EXPECT_NEAR(ToneAnalysis::MainFrequency(tone->samples, tone->sampleRate), 1000, 10);
  EXPECT_EQ(cache_.decodeCount(), 3);
}

TEST_F(ToneCacheTest, RemovedFileIsGoneAtOnce) {
  WriteSine(Path("a.wav"), 440, 0.2);
  ASSERT_TRUE(cache_.Get(Path("a.wav")));
  ASSERT_TRUE(QFile::remove(Path("a.wav")));
  EXPECT_FALSE(cache_.Get(Path("a.wav")));
}

TEST_F(ToneCacheTest, BrokenFileIsNotRetriedUntilItChanges) {
  const QString path = Path("broken.wav");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("garbage");
  f.close();
  EXPECT_FALSE(cache_.Get(path));
  EXPECT_FALSE(cache_.Get(path));
  EXPECT_EQ(cache_.decodeCount(), 1);
  WriteSine(path, 440, 0.2);
  EXPECT_TRUE(cache_.Get(path));
}

TEST_F(ToneCacheTest, KeepsOnlyTheMostRecentTones) {
  for (auto n : {"1.wav", "2.wav", "3.wav", "4.wav"}) WriteSine(Path(n), 440, 0.1);
  for (auto n : {"1.wav", "2.wav", "3.wav", "1.wav", "4.wav"}) cache_.Get(Path(n));
  EXPECT_EQ(cache_.decodeCount(), 4);
  cache_.Get(Path("1.wav"));  // used lately: still there
  EXPECT_EQ(cache_.decodeCount(), 4);
  cache_.Get(Path("2.wav"));  // the oldest: dropped for 4.wav
  EXPECT_EQ(cache_.decodeCount(), 5);
}

}  // namespace
