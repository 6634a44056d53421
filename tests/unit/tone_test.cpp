// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding every common wave encoding, and the tones we ship.
#include "sound/tone.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "support/qt_printers.h"
#include "support/tone_analysis.h"

namespace {

constexpr double kLeftHz = 440, kRightHz = 1000, kAmplitude = 0.5, kSeconds = 0.25;

// Writes a test wave with libsndfile: 440 Hz on the left (or only) channel, 1000 Hz on the right.
bool WriteTestWave(const QString& path, int format, int channels, int rate) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | format;
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!f) return false;
  const int frames = int(kSeconds * rate);
  std::vector<float> data(size_t(frames) * channels);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      data[size_t(i) * channels + c] =
          float(kAmplitude * std::sin(2 * M_PI * (c == 0 ? kLeftHz : kRightHz) * i / rate));
  const bool ok = sf_writef_float(f, data.data(), frames) == frames;
  return sf_close(f) == 0 && ok;
}

struct EncodingCase {
  const char* name;
  int format;
  int channels;
  int rate;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class DecodeToneTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(DecodeToneTest, DecodesRateChannelsAndSignal) {
  const EncodingCase& c = GetParam();
  QTemporaryDir tmp;
  const QString path = tmp.path() + "/tone.wav";
  ASSERT_TRUE(WriteTestWave(path, c.format, c.channels, c.rate)) << sf_strerror(nullptr);

  const auto tone = Sound::DecodeToneFile(path);
  ASSERT_TRUE(tone);
  EXPECT_EQ(tone->sampleRate, c.rate);
  EXPECT_EQ(tone->channels, c.channels);
  const qint64 written = qint64(kSeconds * c.rate);
  EXPECT_GE(tone->frames(), written - 1);
  EXPECT_LE(tone->frames(), written + 2048) << "ADPCM pads to its block, nothing more";

  for (int ch = 0; ch < c.channels; ++ch) {
    std::vector<float> one = ToneAnalysis::Channel(tone->samples, c.channels, ch);
    one.resize(size_t(written) - 64);  // leave out any padding at the end
    const double hz = ch == 0 ? kLeftHz : kRightHz;
    EXPECT_NEAR(ToneAnalysis::MainFrequency(one, c.rate, 100, 3000, 5), hz, 10) << "channel " << ch;
    double energy = 0;
    for (float s : one) energy += double(s) * s;
    EXPECT_NEAR(std::sqrt(energy / one.size()), kAmplitude / std::sqrt(2.0), 0.05) << "channel " << ch;
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, DecodeToneTest,
                         ::testing::Values(EncodingCase{"Unsigned8BitMono8k", SF_FORMAT_PCM_U8, 1, 8000},
                                           EncodingCase{"Unsigned8BitStereo11k", SF_FORMAT_PCM_U8, 2, 11025},
                                           EncodingCase{"Pcm16Stereo44k", SF_FORMAT_PCM_16, 2, 44100},
                                           EncodingCase{"Pcm16Mono96k", SF_FORMAT_PCM_16, 1, 96000},
                                           EncodingCase{"Pcm24Mono96k", SF_FORMAT_PCM_24, 1, 96000},
                                           EncodingCase{"Pcm32Stereo48k", SF_FORMAT_PCM_32, 2, 48000},
                                           EncodingCase{"Float32Mono22k", SF_FORMAT_FLOAT, 1, 22050},
                                           EncodingCase{"Float64Stereo32k", SF_FORMAT_DOUBLE, 2, 32000},
                                           EncodingCase{"MuLawMono8k", SF_FORMAT_ULAW, 1, 8000},
                                           EncodingCase{"ALawStereo16k", SF_FORMAT_ALAW, 2, 16000},
                                           EncodingCase{"ImaAdpcmMono11k", SF_FORMAT_IMA_ADPCM, 1, 11025},
                                           EncodingCase{"ImaAdpcmStereo44k", SF_FORMAT_IMA_ADPCM, 2, 44100},
                                           EncodingCase{"MsAdpcmMono8k", SF_FORMAT_MS_ADPCM, 1, 8000},
                                           EncodingCase{"MsAdpcmStereo22k", SF_FORMAT_MS_ADPCM, 2, 22050}),
                         [](const ::testing::TestParamInfo<EncodingCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(DecodeToneFile, UnicodePathDecodes) {
  QTemporaryDir tmp;
  const QString path = tmp.path() + "/Tön ♪ – Glocke.wav";
  ASSERT_TRUE(WriteTestWave(path, SF_FORMAT_PCM_16, 1, 44100));
  EXPECT_TRUE(Sound::DecodeToneFile(path));
}

TEST(DecodeToneFile, WhatIsNoSoundGivesNothingOrSilence) {
  QTemporaryDir tmp;
  struct Row {
    const char* name;
    QByteArray bytes;
  };
  const QByteArray riffHeaderOnly = QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16);
  for (const Row& row : {Row{"Empty", {}}, Row{"Text", "not a wave file at all, just words\n"},
                         Row{"TruncatedHeader", riffHeaderOnly}, Row{"Zeros", QByteArray(4096, '\0')}}) {
    const QString path = tmp.path() + "/" + row.name + ".wav";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(row.bytes);
    f.close();
    EXPECT_FALSE(Sound::DecodeToneFile(path)) << row.name;
  }
  EXPECT_FALSE(Sound::DecodeToneFile(tmp.path() + "/missing.wav"));
  // Samples that are no number play as silence, not as full-scale noise.
  for (const float bad : {NAN, INFINITY, -INFINITY}) {
    SF_INFO info{0, 8000, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
    SNDFILE* f = sf_open(QFile::encodeName(tmp.path() + "/bad.wav").constData(), SFM_WRITE, &info);
    const float written[] = {0.5f, bad, -0.5f};
    ASSERT_EQ(sf_writef_float(f, written, 3), 3);
    sf_close(f);
    const auto tone = Sound::DecodeToneFile(tmp.path() + "/bad.wav");
    ASSERT_TRUE(tone) << bad;
    EXPECT_EQ(tone->samples, (std::vector<float>{0.5f, 0.0f, -0.5f})) << bad;
  }
  EXPECT_FALSE(Sound::DecodeToneFile(tmp.path())) << "a folder";
}

// The shipped tones: short 16-bit chimes, rising for a new file, falling for a removed one, apart in pitch.
struct ShippedTone {
  QString path;
  SF_INFO info{};
  std::shared_ptr<const Sound::Tone> tone;
  double firstHalfHz = 0, secondHalfHz = 0, mainHz = 0;
};

ShippedTone LoadShipped(const QString& path) {
  ShippedTone s;
  s.path = path;
  if (SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &s.info)) sf_close(f);
  s.tone = Sound::DecodeToneFile(path);
  if (s.tone && s.tone->channels == 1) {
    const auto& x = s.tone->samples;
    const size_t half = x.size() / 2;
    s.firstHalfHz = ToneAnalysis::MainFrequency(x.data(), half / 2, s.tone->sampleRate);
    s.secondHalfHz = ToneAnalysis::MainFrequency(x.data() + half / 2, x.size() - half / 2, s.tone->sampleRate);
    s.mainHz = ToneAnalysis::MainFrequency(x, s.tone->sampleRate);
  }
  return s;
}

TEST(ShippedTones, AreShortDistinctChimes) {
  const ShippedTone add = LoadShipped(FOLDWARN_RESOURCES_DIR "/add.wav");
  const ShippedTone remove = LoadShipped(FOLDWARN_RESOURCES_DIR "/remove.wav");
  const ShippedTone fallback = LoadShipped(":/fallback.wav");
  for (const ShippedTone* s : {&add, &remove}) {
    ASSERT_TRUE(s->tone) << s->path;
    EXPECT_EQ(s->info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << s->path;
    EXPECT_LT(double(s->tone->frames()) / s->tone->sampleRate, 1.0) << s->path;
    EXPECT_EQ(s->tone->channels, 1) << s->path;
  }
  ASSERT_TRUE(fallback.tone) << "the fallback tone is in the program's resources";
  EXPECT_GT(add.secondHalfHz, add.firstHalfHz * 1.2) << "the new-file chime rises";
  EXPECT_LT(remove.secondHalfHz, remove.firstHalfHz / 1.2) << "the removed-file chime falls";
  // Every note of one tone stays clear of every note of the other.
  for (double a : {add.firstHalfHz, add.secondHalfHz})
    for (double r : {remove.firstHalfHz, remove.secondHalfHz, fallback.mainHz})
      EXPECT_GT(std::abs(a - r), 50.0) << a << " Hz against " << r << " Hz";
}

}  // namespace
