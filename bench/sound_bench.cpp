// SPDX-License-Identifier: GPL-3.0-or-later
// How long PlaySoundFile keeps its caller, and how long a tone takes to reach the output on first use.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>

#include "sound/pulse_output.h"
#include "sound/sound.h"
#include "sound/tone_output.h"

namespace {

// The sound server is not what is measured here.
class NoOutput : public Sound::ToneOutput {
 public:
  bool play(const std::shared_ptr<const Sound::Tone>&, const QString&) override { return true; }
};

QString ShippedTone() { return QStringLiteral(FOLDWARN_RESOURCES_DIR "/add.wav"); }

void BM_PlaySoundFile_Cached(benchmark::State& state) {
  Sound::SetOutputForTesting(std::make_unique<NoOutput>());
  const QString tone = ShippedTone();
  Sound::PlaySoundFile(tone);
  Sound::WaitForPlaybackForTesting();
  // As in a check: the playback thread is idle when the call comes.
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    Sound::PlaySoundFile(tone);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    Sound::WaitForPlaybackForTesting();
  }
}

// Time from the call until the tone, decoded afresh, is handed to the output. The file gets a new time
// before each call, so the cache must decode it again.
void BM_PlaySoundFile_FirstUse(benchmark::State& state) {
  Sound::SetOutputForTesting(std::make_unique<NoOutput>());
  QTemporaryDir tmp;
  const QString tone = tmp.path() + "/tone.wav";
  QFile::copy(ShippedTone(), tone);
  QDateTime stamp = QDateTime::currentDateTime().addDays(-1);
  double returnSeconds = 0;
  for (auto _ : state) {
    {
      QFile f(tone);
      f.open(QIODevice::ReadWrite);
      f.setFileTime(stamp = stamp.addSecs(1), QFileDevice::FileModificationTime);
    }
    const auto start = std::chrono::steady_clock::now();
    Sound::PlaySoundFile(tone);
    const auto returned = std::chrono::steady_clock::now();
    Sound::WaitForPlaybackForTesting();
    returnSeconds += std::chrono::duration<double>(returned - start).count();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["return_us"] = benchmark::Counter(returnSeconds * 1e6 / double(state.iterations()));
}

// The return time with the real output: the playback thread opens a stream on the sound server for every tone
// (silence without one). Run it with a sound server to see the whole path.
void BM_PlaySoundFile_Device(benchmark::State& state) {
  Sound::SetOutputForTesting(Sound::MakePulseOutput());
  const QString tone = ShippedTone();
  Sound::PlaySoundFile(tone);
  Sound::WaitForPlaybackForTesting();
  double handOffSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    Sound::PlaySoundFile(tone);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    Sound::WaitForPlaybackForTesting();
    handOffSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["started_us"] = benchmark::Counter(handOffSeconds * 1e6 / double(state.iterations()));
  Sound::SetOutputForTesting(std::make_unique<NoOutput>());
}

}  // namespace

BENCHMARK(BM_PlaySoundFile_Cached)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaySoundFile_FirstUse)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaySoundFile_Device)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // the playback thread runs an event loop
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
