// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the folder picker on a folder of 1,000,000 files beside an empty one: how soon the window answers,
// the longest the window's thread goes without running its events until the list is shown, the processor time
// the window's thread spends on it, and the memory.
// The folders are made on tmpfs (/dev/shm) when it is there: a million files on a disk take minutes to make.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "commands/program_state.h"
#include "controls/dir_list_box.h"
#include "controls/file_list_view.h"
#include "forms/frm_dir_select.h"

namespace {

const QString& Folder(int files) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  auto& dir = folders[files];
  if (!dir) {
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/foldwarn-picker-XXXXXX"));
    const std::string prefix = QFile::encodeName(dir->path()).toStdString() + "/scan-";
    for (int i = 0; i < files; ++i) {
      const int fd = ::open((prefix + std::to_string(i) + ".pdf").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
    }
  }
  static QString path;
  path = dir->path();
  return path;
}

// A field of /proc/self/status in MB (VmRSS, VmHWM).
double StatusMb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field)) return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toDouble() / 1024;
  }
  return 0;
}

double ThreadCpuMs() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void ResetPeak() {
  QFile refs(QStringLiteral("/proc/self/clear_refs"));
  if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

struct Opening {
  double answerMs = 0, shownMs = 0, stallMs = 0, windowCpuMs = 0, rssMb = 0, peakMb = 0;
  qint64 listed = 0;
};

// Opens the picker on the folder and waits until its lists are filled, laid out and painted. With a beat, a
// 1 ms timer records the longest gap between two runs of the window's events; the beat's own cost would
// swamp the window's processor time, so that is taken from an opening without it.
Opening OpenOnce(const QString& folder, bool beat) {
  Opening result;
  Commands::ProgramState program;
  program.PickerOpen = true;
  program.PickerPath = folder + u'/';
  program.PickerCaption = QStringLiteral("Zu überwachenden Pfad auswählen");
  QCoreApplication::processEvents();
  ResetPeak();
  const double cpuBefore = ThreadCpuMs();
  QElapsedTimer clock;
  clock.start();
  auto* picker = new frmDirSelect(program);
  picker->show();
  // Answering: an event posted now runs.
  bool answered = false;
  QTimer::singleShot(0, picker, [&] { answered = true; });
  while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  result.answerMs = clock.nsecsElapsed() / 1e6;

  auto* list = picker->findChild<Controls::FileListView*>(QStringLiteral("File1"));
  auto* dirs = picker->findChild<Controls::DirListBox*>(QStringLiteral("Dir1"));
  qint64 last = clock.nsecsElapsed(), worst = 0;
  QTimer ticks;
  ticks.setInterval(1);
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    worst = std::max(worst, now - last);
    last = now;
  });
  if (beat) ticks.start();
  while (list->isFilling() || dirs->isFilling()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  result.shownMs = clock.nsecsElapsed() / 1e6;
  for (QElapsedTimer settle; !settle.isValid() || settle.elapsed() < 200;) {
    if (!settle.isValid()) settle.start();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  ticks.stop();
  result.stallMs = worst / 1e6;
  result.windowCpuMs = ThreadCpuMs() - cpuBefore;
  result.rssMb = StatusMb("VmRSS:");
  result.peakMb = StatusMb("VmHWM:");
  result.listed = list->listCount();
  picker->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return result;
}

void BM_PickerOpen(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  Opening watched, plain;
  for (auto _ : state) {
    watched = OpenOnce(folder, true);
    plain = OpenOnce(folder, false);
    state.SetIterationTime(watched.answerMs / 1000);
    if (watched.listed != files || plain.listed != files) state.SkipWithError("the list does not hold every file");
  }
  state.counters["answer_ms"] = watched.answerMs;
  state.counters["shown_ms"] = watched.shownMs;
  state.counters["max_stall_ms"] = watched.stallMs;
  state.counters["window_cpu_ms"] = plain.windowCpuMs;
  state.counters["rss_mb"] = watched.rssMb;
  state.counters["peak_rss_mb"] = watched.peakMb;
}
// One run each, the empty folder first: RSS is the whole process's, so the empty folder's figures are the base.
BENCHMARK(BM_PickerOpen)->Arg(0)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
