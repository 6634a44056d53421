// SPDX-License-Identifier: GPL-3.0-or-later
// From the start routine's entry until the main window is shown and its timer runs: a program folder with
// 20 wave files and a watched folder of 10,000 files. The argument is the size in MB of another program's
// section of empty lines before Foldwarn's in the settings file; peak_rss_MB is the process's peak so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "commands/commands.h"
#include "forms/form1.h"
#include "platform/instance.h"
#include "sound/sound.h"
#include "startup/startup.h"

namespace {

void Touch(const QString& path, const QByteArray& bytes = {}) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void BM_StartupToShown(benchmark::State& state) {
  QTemporaryDir root;
  const QString program = root.filePath("program");
  const QString watched = root.filePath("watched");
  QDir().mkpath(program);
  QDir().mkpath(watched);
  QFile tone(QStringLiteral(FOLDWARN_RESOURCES_DIR "/add.wav"));
  tone.open(QIODevice::ReadOnly);
  const QByteArray wave = tone.readAll();
  for (int i = 0; i < 20; ++i) Touch(program + QStringLiteral("/tone%1.wav").arg(i, 2, 10, QChar('0')), wave);
  Touch(program + "/add.wav", wave);
  for (int i = 0; i < 10000; ++i) Touch(watched + QStringLiteral("/scan%1.pdf").arg(i));
  const QByteArray foreign = "[Fremd]\n" + QByteArray(state.range(0) * 1024 * 1024, '\n');
  Touch(program + "/foldwarn.ini", foreign + "[Divuvadi Foldwarn]\nLetzterPfad=" + watched.toUtf8() +
                                       "\nZeit=30\naddSound=tone07.wav\nremoveSound=tone13.wav\n");

  Sound::SetPlayerForTesting([](const QString&) {});
  std::unique_ptr<Form1> form;
  for (auto _ : state) {
    form = Commands::Main(program + "/foldwarn");
    if (!form || !form->isVisible()) state.SkipWithError("the main window was not shown");
    if (form) benchmark::DoNotOptimize(form->Timer1->isActive());
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024;
  form.reset();
  Platform::ReleaseSingleInstance();
  Sound::SetPlayerForTesting({});
}
BENCHMARK(BM_StartupToShown)->Arg(0)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
