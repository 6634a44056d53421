// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the tones Foldwarn ships: resources/add.wav, remove.wav and fallback.wav.
// Usage: tonegen OUTPUT_FOLDER
//
// Each tone is a chime of pure sine notes with a soft attack and a bell-like decay. Pure sines keep the
// tones apart by frequency alone (no overtone of one tone lands on a note of another), which the
// end-to-end test relies on when it tells the tones apart in a recording.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct Note {
  double hz;
  double start;  // seconds
  double gain;
};

std::vector<int16_t> Chime(const std::vector<Note>& notes, double seconds) {
  const int frames = int(seconds * kRate);
  std::vector<double> mix(frames, 0.0);
  for (const Note& n : notes) {
    for (int i = int(n.start * kRate); i < frames; ++i) {
      const double t = double(i) / kRate - n.start;
      const double attack = std::min(1.0, t / 0.006);
      const double decay = std::exp(-t / 0.14);
      mix[i] += n.gain * attack * decay * std::sin(2 * kPi * n.hz * t);
    }
  }
  std::vector<int16_t> pcm(frames);
  for (int i = 0; i < frames; ++i) {
    const double fadeOut = std::min(1.0, double(frames - i) / (0.03 * kRate));  // no click at the end
    pcm[i] = int16_t(std::lround(std::clamp(mix[i] * fadeOut, -1.0, 1.0) * 32767));
  }
  return pcm;
}

void Put32(std::FILE* f, uint32_t v) {
  const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  std::fwrite(b, 1, 4, f);
}

void Put16(std::FILE* f, uint16_t v) {
  const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
  std::fwrite(b, 1, 2, f);
}

bool WriteWave(const std::string& path, const std::vector<int16_t>& pcm) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const uint32_t dataBytes = uint32_t(pcm.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  Put32(f, 36 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  Put32(f, 16);
  Put16(f, 1);  // PCM
  Put16(f, 1);  // mono
  Put32(f, kRate);
  Put32(f, kRate * 2);
  Put16(f, 2);
  Put16(f, 16);
  std::fwrite("data", 1, 4, f);
  Put32(f, dataBytes);
  for (int16_t s : pcm) Put16(f, uint16_t(s));
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  // New file: A5 then E6, rising. Removed file: E5 then A4, falling. Fallback: C5 twice, plain.
  const bool ok = WriteWave(dir + "add.wav", Chime({{880.0, 0.0, 0.35}, {1318.5, 0.16, 0.45}}, 0.65)) &&
                  WriteWave(dir + "remove.wav", Chime({{659.3, 0.0, 0.40}, {440.0, 0.16, 0.50}}, 0.65)) &&
                  WriteWave(dir + "fallback.wav", Chime({{523.3, 0.0, 0.40}, {523.3, 0.22, 0.40}}, 0.55));
  if (!ok) std::fprintf(stderr, "tonegen: cannot write to %s\n", dir.c_str());
  return ok ? 0 : 1;
}
