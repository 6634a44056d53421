// SPDX-License-Identifier: GPL-3.0-or-later
// Counting a watched folder against the floor: a bare getdents64 walk over the same folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "getdents_floor.h"
#include "platform/folder_count.h"

namespace {

// One folder per size, made on first use and removed at exit: N regular files, plus hidden files and
// subfolders that must not count.
const QString& Folder(int files) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  auto& dir = folders[files];
  if (!dir) {
    dir = std::make_unique<QTemporaryDir>();
    const std::string base = QFile::encodeName(dir->path()).toStdString() + "/";
    for (int i = 0; i < files; ++i) {
      const int fd =
          ::open((base + "file-" + std::to_string(i) + ".dat").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
    }
    for (int i = 0; i < 5; ++i) {
      const int fd = ::open((base + ".hidden-" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
      ::mkdir((base + "sub-" + std::to_string(i)).c_str(), 0755);
    }
  }
  static QString path;
  path = dir->path();
  return path;
}

void BM_CountFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  for (auto _ : state) {
    const std::optional<qint64> count = Platform::CountFolderFiles(folder);
    if (count != files) {
      state.SkipWithError("wrong count");
      break;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * files);
}

void BM_CountFloor(benchmark::State& state) {
  const int files = int(state.range(0));
  const QByteArray folder = QFile::encodeName(Folder(files));
  for (auto _ : state) benchmark::DoNotOptimize(BareGetdentsWalk(folder));
  state.SetItemsProcessed(state.iterations() * files);
}

}  // namespace

BENCHMARK(BM_CountFolder)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountFloor)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
