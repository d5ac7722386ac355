// Copying and comparing a 1 GiB file against what the platform does with it:
// `cp` for the copy, reading both files for the compare.
#include "core/app/workspace.h"
#include "core/copy/copyrun.h"
#include "core/platform/paths.h"
#include "ratio.h"
#include "support/scriptedprompts.h"

#include <QFile>

#include <QTemporaryDir>
#include <isa-l/crc.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

extern char** environ;

using namespace vorlane;

namespace {

using SteadyTime = std::chrono::steady_clock;
double since(SteadyTime::time_point t0) {
    return std::chrono::duration<double>(SteadyTime::now() - t0).count();
}

// A folder with one source file of `mib` MiB, its copy made by the copy run
// beside it in out/0/, and the list that names it.
class Setup {
public:
    explicit Setup(long mib) : ws({&options, &prompts, &editor}) {
        source = dir.path() + "/source.bin";
        dest = dir.path() + "/out";
        target = dest + "/0/copy.bin";
        QByteArray block(1 << 20, Qt::Uninitialized);
        quint32 x = 12345;
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        for (long i = 0; i < mib; ++i) {
            for (char& c : block)
                c = char((x = x * 1103515245u + 12345u) >> 24);
            f.write(block);
        }
        f.close();
        QDir().mkpath(dest);
        ws.list.AddItem(0, 0, true, source);
        editor.setLine(0, "copy.bin");
    }
    CopyRun::Result copy() {
        ws.list.SelectAll1Click();
        return CopyRun(ws.list, prompts, ws.clock, ws.pump).CopyFiles(dest);
    }
    CopyRun::Result compare() {
        ws.list.SelectAll1Click();
        return CopyRun(ws.list, prompts, ws.clock, ws.pump).CountCRC(dest);
    }

    QTemporaryDir dir;
    QString source, dest, target;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    Workspace ws;
};

Setup& setup(long mib) {
    static std::map<long, std::unique_ptr<Setup>> all;
    auto& s = all[mib];
    if (!s)
        s = std::make_unique<Setup>(mib);
    return *s;
}

// Each copy starts with nothing left to write back from the one before.
void settle() {
    ::sync();
}

void CopyRunBench(benchmark::State& state) {
    Setup& s = setup(state.range(0));
    for (auto _ : state) {
        QFile::remove(s.target);
        settle();
        const auto t0 = SteadyTime::now();
        const CopyRun::Result r = s.copy();
        state.SetIterationTime(since(t0));
        if (r.done != 1)
            state.SkipWithError("not copied");
    }
}

void CpBench(benchmark::State& state) {
    Setup& s = setup(state.range(0));
    const QByteArray from = encodeName(s.source);
    const QByteArray to = encodeName(s.dir.path() + "/cp.bin");
    for (auto _ : state) {
        ::unlink(to.constData());
        settle();
        const auto t0 = SteadyTime::now();
        char* argv[] = {const_cast<char*>("cp"), const_cast<char*>(from.constData()),
                        const_cast<char*>(to.constData()), nullptr};
        pid_t pid = 0;
        int status = 0;
        if (::posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0 ||
            ::waitpid(pid, &status, 0) != pid || status != 0)
            state.SkipWithError("cp failed");
        state.SetIterationTime(since(t0));
    }
}

// Drops a file's pages from the cache, as for copies compared some time
// after they were made.
void evict(const QString& path) {
    const int fd = ::open(encodeName(path).constData(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Times `body` over the source and its copy, once per iteration; `fromDisk`
// drops both files' pages first.
template <typename Body> void timeOverCopy(benchmark::State& state, bool fromDisk, Body body) {
    Setup& s = setup(state.range(0));
    if (!QFile::exists(s.target))
        s.copy();
    for (auto _ : state) {
        if (fromDisk) {
            evict(s.source);
            evict(s.target);
            settle(); // no write-back of the copies before it competes for the disk
        }
        const auto t0 = SteadyTime::now();
        body(s);
        state.SetIterationTime(since(t0));
    }
}

void compare(benchmark::State& state, bool fromDisk) {
    timeOverCopy(state, fromDisk, [&](Setup& s) {
        if (s.compare().done != 1)
            state.SkipWithError("copy differs");
    });
}

// Reads a file through; with `crc`, also its bare checksum.
long readAll(const QString& path, QByteArray& buffer, bool crc) {
    const int fd = ::open(encodeName(path).constData(), O_RDONLY);
    long n = 0;
    quint32 sum = 0;
    ssize_t r;
    while ((r = ::read(fd, buffer.data(), size_t(buffer.size()))) > 0) {
        if (crc)
            sum =
                crc32_gzip_refl(sum, reinterpret_cast<const unsigned char*>(buffer.constData()), quint64(r));
        n += r;
    }
    ::close(fd);
    return n + sum;
}

// With `crc`, what the compare cannot go below: the reads and the checksum alone.
void readBoth(benchmark::State& state, bool fromDisk, bool crc) {
    QByteArray buffer(256 << 10, Qt::Uninitialized);
    timeOverCopy(state, fromDisk, [&](Setup& s) {
        benchmark::DoNotOptimize(readAll(s.source, buffer, crc) + readAll(s.target, buffer, crc));
    });
}

} // namespace

int main(int argc, char** argv) {
    // Repetitions of the operations and their baselines take turns, so that
    // the shared machine's changing load falls on both alike.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    argc = int(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    // Sizes in MiB; each operation beside its baseline, best of the repetitions
    // (more for the copies, whose times the shared disk spreads widely).
    using Fn = void (*)(benchmark::State&);
    const std::tuple<const char*, Fn, int> benches[] = {
        {"CpBench", CpBench, 10},
        {"CopyRunBench", CopyRunBench, 10},
        {"ReadBothBench", [](benchmark::State& s) { readBoth(s, false, false); }, 5},
        {"ReadBothCrcBench", [](benchmark::State& s) { readBoth(s, false, true); }, 5},
        {"CompareRunBench", [](benchmark::State& s) { compare(s, false); }, 5},
        {"ReadBothFromDisk", [](benchmark::State& s) { readBoth(s, true, false); }, 3},
        {"CompareFromDisk", [](benchmark::State& s) { compare(s, true); }, 3},
    };
    for (const auto& [name, fn, repetitions] : benches)
        benchmark::RegisterBenchmark(name, fn)
            ->Arg(1024)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions);
    RatioReporter reporter;
    reporter.baselines = {{"CopyRunBench", "CpBench"},
                          {"CompareRunBench", "ReadBothBench"},
                          {"CompareRunBench", "ReadBothCrcBench"},
                          {"CompareFromDisk", "ReadBothFromDisk"}};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
