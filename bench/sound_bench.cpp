// How long PlaySoundFile keeps its caller, and how long a tone takes to reach the output on first use.
#include "services/sound.h"
#include "services/tone_output.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

// The sound server is not what is measured here.
class NoOutput : public Sound::ToneOutput {
 public:
  void Play(const std::shared_ptr<const Sound::Tone>&) override {}
};

QString ShippedTone() { return QStringLiteral(FOLDWARN_RESOURCES_DIR "/add.wav"); }

void BM_PlaySoundFile_Cached(benchmark::State& state) {
  Sound::SetOutputForTesting(std::make_unique<NoOutput>());
  const QString tone = ShippedTone();
  Sound::PlaySoundFile(tone);
  Sound::WaitForPlaybackForTesting();
  for (auto _ : state) Sound::PlaySoundFile(tone);
  Sound::WaitForPlaybackForTesting();
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
    state.PauseTiming();
    {
      QFile f(tone);
      f.open(QIODevice::ReadWrite);
      f.setFileTime(stamp = stamp.addSecs(1), QFileDevice::FileModificationTime);
    }
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    Sound::PlaySoundFile(tone);
    returnSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Sound::WaitForPlaybackForTesting();
  }
  state.counters["return_us"] = benchmark::Counter(returnSeconds * 1e6 / double(state.iterations()));
}

}  // namespace

BENCHMARK(BM_PlaySoundFile_Cached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaySoundFile_FirstUse)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // the playback thread runs an event loop
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
