// SPDX-License-Identifier: GPL-3.0-or-later
// Tells which of two reference tones sound in a recording, and in which order.
//   tone_analyser RECORDING ADD.wav REMOVE.wav [--cut] EXPECTED...
// EXPECTED is the sequence of tone names ("add", "remove") that must be heard, in that order, and nothing else.
// With --cut, a tone must stop sounding as soon as the next one starts (it was cut off, not played out).
// Each tone is recognised by its strongest frequency, found in its reference file.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/tone_analysis.h"

namespace {

struct Mono {
  int rate = 0;
  std::vector<float> x;
};

bool LoadMono(const char* path, Mono& out) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path, SFM_READ, &info);
  if (!f) return false;
  std::vector<float> all(size_t(info.frames) * info.channels);
  const sf_count_t got = sf_readf_float(f, all.data(), info.frames);
  sf_close(f);
  out.rate = info.samplerate;
  out.x.assign(size_t(got), 0.0f);
  for (sf_count_t i = 0; i < got; ++i)
    for (int c = 0; c < info.channels; ++c) out.x[i] += all[size_t(i) * info.channels + c] / info.channels;
  return true;
}

struct Reference {
  std::string name;
  double hz = 0;
  double peak = 0;  // the strongest window of the reference file at hz
};

constexpr double kWindowSeconds = 0.02;

double PeakWindowPower(const Mono& m, double hz) {
  const size_t w = size_t(kWindowSeconds * m.rate);
  double peak = 0;
  for (size_t i = 0; i + w <= m.x.size(); i += w / 2)
    peak = std::max(peak, ToneAnalysis::Power(m.x.data() + i, w, m.rate, hz));
  return peak;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: tone_analyser RECORDING ADD.wav REMOVE.wav [--cut] EXPECTED...\n");
    return 2;
  }
  Mono rec, refs[2];
  if (!LoadMono(argv[1], rec) || !LoadMono(argv[2], refs[0]) || !LoadMono(argv[3], refs[1])) {
    std::fprintf(stderr, "tone_analyser: cannot read the recording or a reference tone\n");
    return 2;
  }
  bool cut = false;
  std::vector<std::string> expected;
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cut") == 0)
      cut = true;
    else
      expected.push_back(argv[i]);
  }
  Reference ref[2] = {{"add"}, {"remove"}};
  for (int r = 0; r < 2; ++r) {
    ref[r].hz = ToneAnalysis::MainFrequency(refs[r].x, refs[r].rate, 100, 4000, 2);
    ref[r].peak = PeakWindowPower(refs[r], ref[r].hz);
    std::printf("%s tone: main frequency %.0f Hz\n", ref[r].name.c_str(), ref[r].hz);
  }
  if (std::abs(ref[0].hz - ref[1].hz) < 50) {
    std::fprintf(stderr, "tone_analyser: the two tones are too close in pitch to tell apart\n");
    return 2;
  }

  // Label each window of the recording: the tone that clearly dominates it, if it is loud enough.
  const size_t w = size_t(kWindowSeconds * rec.rate);
  std::vector<int> label;
  std::vector<double> power[2];
  for (size_t i = 0; i + w <= rec.x.size(); i += w) {
    double p[2];
    for (int r = 0; r < 2; ++r)
      power[r].push_back(p[r] = ToneAnalysis::Power(rec.x.data() + i, w, rec.rate, ref[r].hz));
    int l = -1;
    for (int r = 0; r < 2; ++r)
      if (p[r] > 0.05 * ref[r].peak && p[r] > 4 * p[1 - r]) l = r;
    label.push_back(l);
  }

  // Runs of two or more windows with the same label are the tones heard.
  struct Event {
    int tone;
    size_t first, last;
  };
  std::vector<Event> events;
  for (size_t i = 0; i < label.size();) {
    size_t j = i;
    while (j < label.size() && label[j] == label[i]) ++j;
    if (label[i] >= 0 && j - i >= 2) {
      if (!events.empty() && events.back().tone == label[i] && i - events.back().last < 10)
        events.back().last = j - 1;  // one tone, briefly masked
      else
        events.push_back({label[i], i, j - 1});
    }
    i = j;
  }
  std::vector<std::string> heard;
  for (const Event& e : events) {
    heard.push_back(ref[e.tone].name);
    std::printf("heard %s from %.2f s to %.2f s\n", ref[e.tone].name.c_str(), e.first * kWindowSeconds,
                (e.last + 1) * kWindowSeconds);
  }
  if (heard != expected) {
    std::printf("FAIL: expected");
    for (const auto& s : expected) std::printf(" %s", s.c_str());
    std::printf(", heard");
    for (const auto& s : heard) std::printf(" %s", s.c_str());
    std::printf("\n");
    return 1;
  }
  if (cut) {
    // Played out, the earlier chime would still ring well after the next one starts; cut off, it is gone.
    for (size_t k = 1; k < events.size(); ++k) {
      const int before = events[k - 1].tone;
      const size_t from = events[k].first + 3, to = std::min(events[k].first + 10, label.size());
      for (size_t i = from; i < to; ++i)
        if (power[before][i] > 0.01 * ref[before].peak) {
          std::printf("FAIL: %s still sounds at %.2f s, after %s started\n", ref[before].name.c_str(),
                      i * kWindowSeconds, ref[events[k].tone].name.c_str());
          return 1;
        }
    }
  }
  std::printf("OK\n");
  return 0;
}
