// SPDX-License-Identifier: GPL-3.0-or-later
// One check of the watched folder: when the folder changes between every two checks (a file renamed back and
// forth), against the floor of a bare getdents64 walk over the same folder; and when it stands still.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "getdents_floor.h"
#include "watch/folder_reader.h"

namespace {

// On tmpfs when there is one, as a scanner's drop folder on a fast disk would be; made once per size.
const QString& Folder(int files) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  static QString path;
  auto& dir = folders[files];
  if (!dir) {
    const QString base = QDir(u"/dev/shm"_qs).exists() ? u"/dev/shm/foldwarn-watch-bench-XXXXXX"_qs : QString();
    dir = base.isEmpty() ? std::make_unique<QTemporaryDir>() : std::make_unique<QTemporaryDir>(base);
    const std::string prefix = QFile::encodeName(dir->path()).toStdString() + "/file-";
    for (int i = 0; i < files; ++i) {
      const int fd = ::open((prefix + std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
    }
  }
  path = dir->path();
  return path;
}

void BM_CheckChangingFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  const QByteArray a = QFile::encodeName(folder + u"/file-0"_qs), b = QFile::encodeName(folder + u"/renamed"_qs);
  Watch::FolderReader reader;
  reader.check(folder);
  bool there = false;
  for (auto _ : state) {
    state.PauseTiming();
    ::rename(there ? b.constData() : a.constData(), there ? a.constData() : b.constData());
    there = !there;
    state.ResumeTiming();
    const Watch::Reading reading = reader.check(folder);
    if (reading.count != files || !reading.read) {
      state.SkipWithError("the changed folder was not counted right");
      break;
    }
  }
  if (there) ::rename(b.constData(), a.constData());
  state.SetItemsProcessed(state.iterations() * files);
}

void BM_CheckFloor(benchmark::State& state) {
  const int files = int(state.range(0));
  const QByteArray folder = QFile::encodeName(Folder(files));
  for (auto _ : state) benchmark::DoNotOptimize(BareGetdentsWalk(folder));
  state.SetItemsProcessed(state.iterations() * files);
}

void BM_CheckStillFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  Watch::FolderReader reader;
  reader.check(folder);
  for (auto _ : state) {
    const Watch::Reading reading = reader.check(folder);
    if (reading.count != files || reading.read) {
      state.SkipWithError("an unchanged folder was read again");
      break;
    }
  }
}

}  // namespace

BENCHMARK(BM_CheckChangingFolder)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckStillFolder)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
