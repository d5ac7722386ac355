// Opening a project of 500,000 and 1,000,000 list lines in the real window
// (list, view and name editor), beside reading the same file's bytes.
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "window.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <map>
#include <memory>

#include <malloc.h>

using namespace vorlane;

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// One project per size, written once: albums of 20 files under a separator.
QString projectOf(long n) {
    static std::map<long, QString> made;
    if (made.count(n))
        return made[n];
    const QString path = folder().path() + QStringLiteral("/p%1.vln").arg(n);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray chunk;
    for (long i = 0; i < n; ++i) {
        const long album = i / 21;
        if (i % 21 == 0)
            chunk += "\\/music/artist " + QByteArray::number(album % 997) + "/album " +
                     QByteArray::number(album) + "\r\nalbum " + QByteArray::number(album) + "\r\n0\r\n0\r\n";
        else
            chunk += "/music/artist " + QByteArray::number(album % 997) + "/album " +
                     QByteArray::number(album) + "/" + QByteArray::number(i % 21) +
                     " some track title.mp3\r\n" + QByteArray::number(i % 21) + " Some Track Title.mp3\r\n" +
                     QByteArray::number(4000000 + i) + "\r\n" + QByteArray::number(180 + i % 200) + "\r\n";
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    return made[n] = path;
}

double seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// File > Open: the list emptied, the file read, every line added, the view,
// the editor and the separators' colours brought up to date, all selected.
void OpenProject(benchmark::State& state) {
    const QString path = projectOf(long(state.range(0)));
    for (auto _ : state) {
        // Every run starts as a program that has just started: the memory of
        // the run before goes back to the system rather than waiting to be
        // reused, which only the smaller size would profit from.
        malloc_trim(0);
        BenchWindow w;
        w.main->project().hooks.chooseOpen = [&] { return path; };
        const auto t0 = std::chrono::steady_clock::now();
        w.main->Open1Click();
        QApplication::processEvents();
        state.SetIterationTime(seconds(t0));
        if (w.main->list().count() != state.range(0) || !w.prompts.shown.isEmpty())
            state.SkipWithError("the project did not load whole");
    }
}

// The floor: the file's bytes read into memory.
void ReadBytes(benchmark::State& state) {
    const QString path = projectOf(long(state.range(0)));
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
        state.SetIterationTime(seconds(t0));
    }
}

} // namespace

BENCHMARK(ReadBytes)
    ->Arg(500000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(OpenProject)
    ->Arg(500000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

WINDOW_BENCHMARK_MAIN();
