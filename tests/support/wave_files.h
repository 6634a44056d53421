// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <QFile>
#include <QString>
#include <cmath>
#include <vector>

// A sine wave file whose length and pitch tell it apart from the others.
inline void WriteSine(const QString& path, double hz, double seconds, int rate = 22050) {
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
