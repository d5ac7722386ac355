// Walking MP3 files frame by frame, from the page cache, beside a plain read
// of the same bytes: 100 MB as one file and as 25 files of 4 MB.
#include "core/media/playtime.h"
#include "ratio.h"
#include "support/scriptedprompts.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace vorlane;

namespace {

constexpr qint64 kTotal = 100 * 1000 * 1000;

// MPEG-1 Layer III frames at 44100 Hz whose bit rate changes from frame to
// frame (as in a VBR file without a Xing header), so every frame is walked.
QByteArray vbrFrames(qint64 bytes) {
    static const int rates[] = {128, 160, 192, 224, 256, 320, 112, 96};
    static const int indexes[] = {9, 10, 11, 12, 13, 14, 8, 7};
    QByteArray out;
    out.reserve(bytes + 2000);
    for (int i = 0; out.size() < bytes; ++i) {
        const int k = i % 8;
        QByteArray f(144000 * rates[k] / 44100, '\x55');
        f[0] = char(0xFF);
        f[1] = char(0xFB);
        f[2] = char(indexes[k] << 4);
        f[3] = 0;
        out += f;
    }
    return out;
}

// The files of one size, written once and read once so they sit in the page cache.
struct FileSet {
    QTemporaryDir dir;
    std::vector<QString> paths;
    explicit FileSet(int count) {
        const QByteArray bytes = vbrFrames(kTotal / count);
        for (int i = 0; i < count; ++i) {
            paths.push_back(dir.path() + QStringLiteral("/track%1.mp3").arg(i));
            QFile f(paths.back());
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
    }
};

FileSet& files(int count) {
    static std::map<int, std::unique_ptr<FileSet>> sets;
    auto& s = sets[count];
    if (!s)
        s = std::make_unique<FileSet>(count);
    return *s;
}

// The baseline: every byte read in the same block size, nothing looked at.
qint64 plainRead(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return 0;
    std::vector<char> buf(256 * 1024);
    qint64 total = 0;
    ssize_t n;
    while ((n = ::read(fd, buf.data(), buf.size())) > 0)
        total += n;
    ::close(fd);
    return total;
}

// Reading from the page cache is work for the processor alone: its time is
// measured, so that waiting for a core on a shared machine does not count.
double cpuNow() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void PlainRead(benchmark::State& state) {
    FileSet& set = files(int(state.range(0)));
    for (const QString& p : set.paths)
        plainRead(p);
    for (auto _ : state) {
        const double t0 = cpuNow();
        qint64 bytes = 0;
        for (const QString& p : set.paths)
            bytes += plainRead(p);
        state.SetIterationTime(cpuNow() - t0);
        if (bytes < kTotal)
            state.SkipWithError("files cut short");
    }
}

void WalkMp3(benchmark::State& state) {
    FileSet& set = files(int(state.range(0)));
    ScriptedPrompts prompts;
    for (auto _ : state) {
        const double t0 = cpuNow();
        qint64 seconds = 0;
        for (const QString& p : set.paths)
            seconds += CountMp3Time(p, prompts);
        state.SetIterationTime(cpuNow() - t0);
        // 100 MB at 186 kbit/s on average: some 4,300 seconds.
        if (seconds < 4000 || !prompts.shown.isEmpty())
            state.SkipWithError("frames missed");
    }
}

} // namespace

BENCHMARK(PlainRead)
    ->Arg(1)
    ->Arg(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5);
BENCHMARK(WalkMp3)
    ->Arg(1)
    ->Arg(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    reporter.baselines = {{"WalkMp3", "PlainRead"}};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
