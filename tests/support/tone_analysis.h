// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Frequency checks on raw samples, shared by the tone tests and the end-to-end analyser.
#include <cmath>
#include <cstddef>
#include <vector>

namespace ToneAnalysis {

// Mean power of the frequency hz in the samples (Goertzel): a full-scale sine at hz gives about 0.25.
inline double Power(const float* x, size_t n, double rate, double hz) {
  if (n == 0) return 0;
  const double w = 2 * 3.14159265358979323846 * hz / rate;
  const double coeff = 2 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (size_t i = 0; i < n; ++i) {
    const double s0 = x[i] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  return power / (double(n) * double(n));
}

inline double Power(const std::vector<float>& x, double rate, double hz) { return Power(x.data(), x.size(), rate, hz); }

// The strongest frequency between lo and hi, searched in steps of step Hz.
inline double MainFrequency(const float* x, size_t n, double rate, double lo = 100, double hi = 4000, double step = 5) {
  double best = lo, bestPower = -1;
  for (double hz = lo; hz <= hi; hz += step) {
    const double p = Power(x, n, rate, hz);
    if (p > bestPower) {
      bestPower = p;
      best = hz;
    }
  }
  return best;
}

inline double MainFrequency(const std::vector<float>& x, double rate, double lo = 100, double hi = 4000,
                            double step = 5) {
  return MainFrequency(x.data(), x.size(), rate, lo, hi, step);
}

// One channel of interleaved samples.
inline std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int channel) {
  std::vector<float> out;
  out.reserve(interleaved.size() / channels);
  for (size_t i = channel; i < interleaved.size(); i += channels) out.push_back(interleaved[i]);
  return out;
}

}  // namespace ToneAnalysis
