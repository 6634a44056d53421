// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/tone_cache.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"
#include "support/tone_analysis.h"
#include "support/wave_files.h"

namespace {

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
  const auto first = cache_.get(Path("a.wav"));
  const auto second = cache_.get(Path("a.wav"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first, second);
  EXPECT_EQ(cache_.decodeCount(), 1);
}

TEST_F(ToneCacheTest, ChangedFileIsDecodedAgain) {
  const QString path = Path("a.wav");
  WriteSine(path, 440, 0.2);
  const QDateTime stamp = QDateTime::currentDateTime().addSecs(-100);
  SetModified(path, stamp);
  ASSERT_TRUE(cache_.get(path));

  // Other length.
  WriteSine(path, 440, 0.3);
  auto tone = cache_.get(path);
  ASSERT_TRUE(tone);
  EXPECT_EQ(tone->frames(), qint64(0.3 * 22050));

  // Same length, other pitch, other time.
  WriteSine(path, 1000, 0.3);
  SetModified(path, stamp.addSecs(10));
  tone = cache_.get(path);
  ASSERT_TRUE(tone);
  EXPECT_NEAR(ToneAnalysis::MainFrequency(tone->samples, tone->sampleRate), 1000, 10);
  EXPECT_EQ(cache_.decodeCount(), 3);
}

TEST_F(ToneCacheTest, RemovedFileIsGoneAtOnce) {
  WriteSine(Path("a.wav"), 440, 0.2);
  ASSERT_TRUE(cache_.get(Path("a.wav")));
  ASSERT_TRUE(QFile::remove(Path("a.wav")));
  EXPECT_FALSE(cache_.get(Path("a.wav")));
}

TEST_F(ToneCacheTest, BrokenFileIsNotRetriedUntilItChanges) {
  const QString path = Path("broken.wav");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("garbage");
  f.close();
  EXPECT_FALSE(cache_.get(path));
  EXPECT_FALSE(cache_.get(path));
  EXPECT_EQ(cache_.decodeCount(), 1);
  WriteSine(path, 440, 0.2);
  EXPECT_TRUE(cache_.get(path));
}

TEST_F(ToneCacheTest, KeepsOnlyTheMostRecentTones) {
  for (auto n : {"1.wav", "2.wav", "3.wav", "4.wav"}) WriteSine(Path(n), 440, 0.1);
  for (auto n : {"1.wav", "2.wav", "3.wav", "1.wav", "4.wav"}) cache_.get(Path(n));
  EXPECT_EQ(cache_.decodeCount(), 4);
  cache_.get(Path("1.wav"));  // used lately: still there
  EXPECT_EQ(cache_.decodeCount(), 4);
  cache_.get(Path("2.wav"));  // the oldest: dropped for 4.wav
  EXPECT_EQ(cache_.decodeCount(), 5);
}

// A FLAC file named .wav whose header claims 2^35 samples: what it holds in memory is what it really decodes
// to, so a handful of them cannot fill the memory the cache is bounded by.
TEST_F(ToneCacheTest, LyingHeaderHoldsNoMoreThanItsSamples) {
  SF_INFO info{};
  info.samplerate = 8000;
  info.channels = 1;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(QFile::encodeName(Path("liar.wav")).constData(), SFM_WRITE, &info);
  ASSERT_TRUE(f);
  const std::vector<float> x(400, 0.25f);
  sf_writef_float(f, x.data(), sf_count_t(x.size()));
  sf_close(f);
  QFile file(Path("liar.wav"));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  QByteArray bytes = file.readAll();
  // STREAMINFO follows "fLaC" and its block header; the 36-bit sample count starts in the low half of byte 13.
  ASSERT_TRUE(bytes.startsWith("fLaC"));
  bytes[21] = char((bytes[21] & 0xF0) | 0x08);
  bytes.replace(22, 4, QByteArray(4, '\0'));
  ASSERT_TRUE(file.seek(0));
  ASSERT_EQ(file.write(bytes), bytes.size());
  file.close();

  SF_INFO claimed{};
  if (SNDFILE* g = sf_open(QFile::encodeName(Path("liar.wav")).constData(), SFM_READ, &claimed)) sf_close(g);
  ASSERT_EQ(claimed.frames, sf_count_t(1) << 35);
  const auto tone = cache_.get(Path("liar.wav"));
  ASSERT_TRUE(tone);
  EXPECT_EQ(tone->frames(), 400);
  EXPECT_LE(tone->samples.capacity(), 1024u);
}

}  // namespace
