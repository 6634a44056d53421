// SPDX-License-Identifier: GPL-3.0-or-later
// One check of the watched folder: when a file is renamed back and forth between every two checks, or a batch
// of files is made, against the floor of a bare getdents64 walk over the same folder; when it stands still, with
// the verifying count's share over ten minutes; and the memory the watch keeps.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <memory>
#include <string>

#include "getdents_floor.h"
#include "watch/folder_reader.h"

namespace {

using Watch::Source;

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

double ThreadCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void BM_CheckChangingFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  const QByteArray a = QFile::encodeName(folder + u"/file-0"_qs), b = QFile::encodeName(folder + u"/renamed"_qs);
  Watch::FolderReader reader;
  reader.check(folder);
  bool there = false;
  qint64 fromNotices = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ::rename(there ? b.constData() : a.constData(), there ? a.constData() : b.constData());
    there = !there;
    state.ResumeTiming();
    const Watch::Reading reading = reader.check(folder);
    if (reading.count != files || reading.source == Source::Kept) {
      state.SkipWithError("the changed folder was not counted right");
      break;
    }
    fromNotices += reading.source == Source::Notices;
  }
  if (there) ::rename(b.constData(), a.constData());
  state.counters["from_notices"] = double(fromNotices) / double(std::max<qint64>(state.iterations(), 1));
}

// `made` files land between two checks; they go again, unmeasured, before the next.
void BM_CheckAfterMade(benchmark::State& state) {
  const int files = int(state.range(0)), made = int(state.range(1));
  const QString folder = Folder(files);
  const std::string prefix = QFile::encodeName(folder).toStdString() + "/made-";
  Watch::FolderReader reader;
  reader.check(folder);
  qint64 fromNotices = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < made; ++i) ::close(::open((prefix + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644));
    state.ResumeTiming();
    const Watch::Reading reading = reader.check(folder);
    state.PauseTiming();
    if (reading.count != files + made) {
      state.SkipWithError("the made files were not counted right");
      break;
    }
    fromNotices += reading.source == Source::Notices;
    for (int i = 0; i < made; ++i) ::unlink((prefix + std::to_string(i)).c_str());
    reader.check(folder);
    state.ResumeTiming();
  }
  state.counters["from_notices"] = double(fromNotices) / double(std::max<qint64>(state.iterations(), 1));
}

void BM_CheckFloor(benchmark::State& state) {
  const int files = int(state.range(0));
  const QByteArray folder = QFile::encodeName(Folder(files));
  for (auto _ : state) benchmark::DoNotOptimize(BareGetdentsWalk(folder));
  state.SetItemsProcessed(state.iterations() * files);
}

// Every check a full count, the names kept as where the notices are used, as the verifying count and a count
// after lost notices pay. floor_ratio: its CPU against that of a bare getdents64 walk of the folder, made between
// every two checks so that both see the same machine. The first count, which also sets the change watch, is not
// timed: BM_FirstCount is that one.
void BM_FullCount(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  const QByteArray raw = QFile::encodeName(folder);
  Watch::FolderReader reader(std::chrono::seconds(0));
  reader.check(folder);
  double checks = 0, walks = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    if (reader.check(folder).count != files) {
      state.SkipWithError("miscounted");
      break;
    }
    checks += ThreadCpuSeconds() - start;
    state.PauseTiming();
    const double walkStart = ThreadCpuSeconds();
    benchmark::DoNotOptimize(BareGetdentsWalk(raw));
    walks += ThreadCpuSeconds() - walkStart;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * files);
  state.counters["floor_ratio"] = walks > 0 ? checks / walks : 0;
}

// The start's count, by a fresh reader: it sets the change watch too, for which the kernel marks every entry of the
// folder as watched. floor_ratio: its CPU against the bare walk's, made between every two counts.
void BM_FirstCount(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  const QByteArray raw = QFile::encodeName(folder);
  double counts = 0, walks = 0;
  for (auto _ : state) {
    auto reader = std::make_unique<Watch::FolderReader>();
    double start = ThreadCpuSeconds();
    if (reader->check(folder).count != files) {
      state.SkipWithError("miscounted");
      break;
    }
    counts += ThreadCpuSeconds() - start;
    state.PauseTiming();
    reader.reset();
    start = ThreadCpuSeconds();
    benchmark::DoNotOptimize(BareGetdentsWalk(raw));
    walks += ThreadCpuSeconds() - start;
    state.ResumeTiming();
  }
  state.counters["floor_ratio"] = walks > 0 ? counts / walks : 0;
}

double ProcessCpuSeconds(qint64 pid) {
  QFile stat(u"/proc/%1/stat"_qs.arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
  return double(fields.value(12).toLongLong() + fields.value(13).toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

qint64 CallsServed(const QString& counter) {
  QFile file(counter);
  return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : -1;
}

// A still share served by the FUSE pass-through the tests use: the calls each check makes to it and the CPU of
// the check and the share's server together, as a share of a core at an interval of 1 s (core_pct); the
// verifying count every ten minutes apart (verify_core_pct).
void BM_StillShare(benchmark::State& state) {
  const int files = int(state.range(0));
  int argc = 0;
  const QCoreApplication app(argc, nullptr);
  QTemporaryDir root;
  const QString share = root.filePath(u"share"_qs), counter = root.filePath(u"calls"_qs);
  QDir().mkpath(share);
  // The tests' pass-through share, each call it serves counted into `counter`.
  const QString serve = QStringLiteral(R"(import os, sys
sys.path.insert(0, os.path.dirname(sys.argv[1]))
from slow_fs import FUSE, PassThrough
class Counted(PassThrough):
    calls = 0
    def __call__(self, *args):
        self.calls += 1
        os.pwrite(counter, b"%d\n" % self.calls, 0)
        return super().__call__(*args)
counter = os.open(sys.argv[4], os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
FUSE(Counted(sys.argv[3], "1"), sys.argv[2], foreground=True, nothreads=False, attr_timeout=0, entry_timeout=0))");
  QProcess server;
  server.start(u"/usr/bin/python3"_qs,
               {u"-c"_qs, serve, QStringLiteral(FOLDWARN_SLOW_FS), share, Folder(files), counter});
  const auto device = [](const QString& path) {
    return Platform::IdentityOf(path).value_or(Platform::FolderIdentity{}).device;
  };
  for (int waited = 0; server.waitForStarted() && device(share) == device(root.path()) && waited < 200; ++waited)
    QThread::msleep(50);  // until mounted: the mount point then lies on another device
  const auto unmount = qScopeGuard([&] {
    QProcess::execute(u"fusermount3"_qs, {u"-u"_qs, u"-z"_qs, share});
    server.waitForFinished(5000);
  });
  if (server.state() != QProcess::Running) {
    state.SkipWithError("no FUSE here");
    return;
  }
  const qint64 pid = server.processId();
  Watch::FolderReader reader;
  double verifyCpu = ThreadCpuSeconds() + ProcessCpuSeconds(pid);
  reader.check(share);
  verifyCpu = ThreadCpuSeconds() + ProcessCpuSeconds(pid) - verifyCpu;
  QThread::sleep(unsigned(Watch::RacyMargin.count()) + 1);
  reader.check(share);  // the first count was racy with the folder's last change
  const qint64 callsBefore = CallsServed(counter);
  const double cpuBefore = ThreadCpuSeconds() + ProcessCpuSeconds(pid);
  for (auto _ : state) {
    const Watch::Reading reading = reader.check(share);
    if (reading.count != files || reading.source != Source::Attributes) {
      state.SkipWithError("the still share was listed again");
      break;
    }
  }
  const double checks = double(std::max<qint64>(state.iterations(), 1));
  const double cpu = ThreadCpuSeconds() + ProcessCpuSeconds(pid) - cpuBefore;
  state.counters["calls_per_check"] = double(CallsServed(counter) - callsBefore) / checks;
  state.counters["core_pct"] = cpu / checks * 100.0;
  state.counters["verify_core_pct"] = verifyCpu / 600.0 * 100.0;
}

void BM_CheckStillFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  Watch::FolderReader reader;
  reader.check(folder);
  for (auto _ : state) {
    const Watch::Reading reading = reader.check(folder);
    if (reading.count != files || reading.source != Source::Kept) {
      state.SkipWithError("an unchanged folder was read again");
      break;
    }
  }
}

// Ten minutes of a still folder with the interval at 1 s: 599 checks that keep the count and the verifying
// count, made by a reader whose period has always run out. core_pct: the CPU this costs, as a share of a core.
void BM_StillFolderTenMinutes(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  Watch::FolderReader reader, verifying(std::chrono::seconds(0));
  reader.check(folder);
  verifying.check(folder);
  double cpu = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < 599; ++i) benchmark::DoNotOptimize(reader.check(folder));
    if (verifying.check(folder).source != Source::Disk) {
      state.SkipWithError("no verifying count");
      break;
    }
    cpu += ThreadCpuSeconds() - start;
  }
  state.counters["core_pct"] = cpu / (600.0 * double(std::max<qint64>(state.iterations(), 1))) * 100.0;
}

// What the watch keeps once it has counted the folder: its names, the listing buffer, the change watch.
void BM_WatchMemory(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = Folder(files);
  for (auto _ : state) {
    ::malloc_trim(0);
    const struct mallinfo2 before = ::mallinfo2();
    auto reader = std::make_unique<Watch::FolderReader>();
    if (reader->check(folder).count != files) state.SkipWithError("miscounted");
    const struct mallinfo2 after = ::mallinfo2();
    state.counters["heap_mb"] = double(after.uordblks + after.hblkhd - before.uordblks - before.hblkhd) / 1048576.0;
    state.counters["names_mb"] = double(reader->namesBytes()) / 1048576.0;
  }
}

}  // namespace

BENCHMARK(BM_CheckChangingFolder)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckAfterMade)
    ->Args({100000, 1000})
    ->Args({1000000, 1000})
    ->Args({100000, 100000})
    ->Args({1000000, 100000})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullCount)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstCount)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StillShare)->Arg(20000)->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckStillFolder)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StillFolderTenMinutes)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WatchMemory)->Arg(0)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
