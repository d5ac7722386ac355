// Tags of every kind of 10,000 small files (MP3 with ID3v2, FLAC, Ogg Vorbis,
// Opus, a quarter each; page cache warm) through the mask engine, beside
// opening each file and reading its first 64 KiB. Processor time of this
// thread is measured, as in the other file benchmarks.
#include "benchdata.h"
#include "core/masks/applymask.h"
#include "ratio.h"
#include "support/mediafiles.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kFiles = 10000;

// One small tagged file of each kind the encoders here make, in `dir`.
QStringList encodeSamples(const QString& dir) {
    const QString wav = dir + QStringLiteral("/s.wav");
    if (!media::sine(wav, 3.0, 44100, {"-b", "16", "-c", "1"}))
        return {};
    struct Sample {
        const char* program;
        const char* name;
        QList<QStringList> commands;
    };
    const QString out = QStringLiteral("OUT");
    const Sample samples[] = {
        {"lame",
         "s.mp3",
         {{"lame", "--quiet", "--id3v2-only", "--tt", "Title", "--ta", "Artist", "--tn", "3", "IN", "OUT"}}},
        {"flac",
         "s.flac",
         {{"flac", "--silent", "-f", "-o", "OUT", "IN"},
          {"metaflac", "--set-tag=TITLE=Title", "--set-tag=ARTIST=Artist", "OUT"}}},
        {"oggenc", "s.ogg", {{"oggenc", "--quiet", "-t", "Title", "-a", "Artist", "-o", "OUT", "IN"}}},
        {"opusenc",
         "s.opus",
         {{"opusenc", "--quiet", "--title", "Title", "--artist", "Artist", "IN", "OUT"}}},
    };
    QStringList made;
    for (const Sample& s : samples) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(s.program)).isEmpty()) {
            std::fprintf(stderr, "bench data: %s is not installed, no %s files\n", s.program, s.name);
            continue;
        }
        const QString path = dir + u'/' + QString::fromLatin1(s.name);
        bool ok = true;
        for (QStringList c : s.commands) {
            for (QString& arg : c)
                arg = arg == QLatin1String("IN") ? wav : arg == out ? path : arg;
            const QString program = c.takeFirst();
            ok = ok && media::run(program, c);
        }
        if (ok)
            made << path;
    }
    return made;
}

// kFiles files, the samples' bytes in turn (3 s of sound each, 8 to 80 KB),
// made once: tags3s-10000.
QStringList tagFiles() {
    const QString dir = benchdata::madeOnce(QStringLiteral("tags3s-%1").arg(kFiles), [](const QString& dir) {
        QTemporaryDir work;
        const QStringList samples = encodeSamples(work.path());
        if (samples.isEmpty())
            return false;
        for (int i = 0; i < kFiles; ++i) {
            const QString& sample = samples[i % samples.size()];
            if (!QFile::copy(sample,
                             dir + QStringLiteral("/t%1").arg(i) + sample.mid(sample.lastIndexOf(u'.'))))
                return false;
        }
        return true;
    });
    static QStringList paths;
    if (paths.isEmpty()) {
        for (const char* ext : {"mp3", "flac", "ogg", "opus"})
            for (int i = 0; i < kFiles; ++i)
                if (QFile::exists(dir + QStringLiteral("/t%1.%2").arg(i).arg(ext)))
                    paths << dir + QStringLiteral("/t%1.%2").arg(i).arg(ext);
    }
    return paths;
}

// Reading from the page cache is work for the processor alone: its time is
// measured, so that waiting for a core on a shared machine does not count.
double cpuNow() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The baseline: open, read the first 64 KiB, close.
qint64 readFirst64KiB(const QByteArray& path, std::vector<char>& buf) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    ::close(fd);
    return n > 0 ? n : 0;
}

void ReadFirst64KiB(benchmark::State& state) {
    std::vector<QByteArray> paths;
    for (const QString& p : tagFiles())
        paths.push_back(QFile::encodeName(p));
    std::vector<char> buf(64 * 1024);
    for (const QByteArray& p : paths) // warms the cache
        readFirst64KiB(p, buf);
    for (auto _ : state) {
        const double t0 = cpuNow();
        qint64 bytes = 0;
        for (const QByteArray& p : paths)
            bytes += readFirst64KiB(p, buf);
        state.SetIterationTime(cpuNow() - t0);
        if (bytes < qint64(paths.size()))
            state.SkipWithError("files missing");
    }
}

void TagsOfEveryKind(benchmark::State& state) {
    const QStringList paths = tagFiles();
    MaskSpec naming;
    naming.mask = QStringLiteral("[ma] - [mt]");
    const Mask mask(naming);
    MaskContext ctx;
    ctx.allTags = true;
    for (auto _ : state) {
        const double t0 = cpuNow();
        int named = 0;
        for (const QString& p : paths)
            named += mask.apply(0, 1, p, ctx) == QLatin1String("Artist - Title") ? 1 : 0;
        state.SetIterationTime(cpuNow() - t0);
        if (named != paths.size())
            state.SkipWithError("tags missed");
    }
}

} // namespace

BENCHMARK(ReadFirst64KiB)
    ->Arg(kFiles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(10);
BENCHMARK(TagsOfEveryKind)
    ->Arg(kFiles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(10);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    reporter.baselines = {{"TagsOfEveryKind", "ReadFirst64KiB"}};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
