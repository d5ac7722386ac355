// The undo window at 50,000 and 100,000 log entries: opening it through the
// main window (the log is read, the rows shown), then a click on the "Before"
// header (sorted by folder and name) and a paint of the result. Logs of whole
// albums renamed at a time (ten files a folder), and the hardest case for the
// sort, a folder of its own for every file. Beside them the core's share:
// reading the log, sorting the rows, without a window.
#include "core/rename/undolist.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "ui/rename/tundof.h"
#include "window.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <ctime>
#include <memory>

using namespace vorlane;

namespace {

// Wall time; with VORLANE_BENCH_CPU set, this thread's processor time
// instead, which other work on a shared machine disturbs less.
double now() {
    static const bool cpu = qEnvironmentVariableIsSet("VORLANE_BENCH_CPU");
    timespec t{};
    ::clock_gettime(cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

enum Shape { Albums, Scattered };

// Renames in shuffled order: ten files a folder, or each file in its own.
QByteArray logOf(int n, Shape shape) {
    QByteArray log;
    log.reserve(qsizetype(n) * 90);
    for (int i = 0; i < n; ++i) {
        const int k = (i * 7919) % n;
        const int artist = shape == Albums ? k / 100 : k % 997;
        log += "/home/user/Music/Artist " + QByteArray::number(artist) + "/Album " +
               QByteArray::number(k / 10) + "/" + QByteArray::number(k % 10) + " track " +
               QByteArray::number(k) + ".mp3\r\n" + QByteArray::number(k % 10) + " - Song " +
               QByteArray::number(i) + ".mp3\r\n";
    }
    return log;
}

// The window over a log of `entries` renames.
struct Window : BenchWindow {
    Window(int entries, Shape shape)
        : BenchWindow([=](TMain& main) {
              QFile f(main.undoLogPath());
              if (f.open(QIODevice::WriteOnly))
                  f.write(logOf(entries, shape));
          }) {}
};

void loadSortShow(benchmark::State& state, Shape shape) {
    Window w(int(state.range(0)), shape);
    for (auto _ : state) {
        double elapsed = 0;
        w.main->execDialog = [&](QDialog* d) {
            const double t0 = now();
            d->show(); // loads the log
            QApplication::processEvents();
            TUndof* u = w.main->undof();
            u->lv1ColumnClick(0);
            u->lv1->viewport()->repaint();
            QApplication::processEvents();
            elapsed = now() - t0;
            if (u->undo().count() != state.range(0))
                state.SkipWithError("rows missing");
            d->hide();
            return 0;
        };
        w.main->Undo1Click();
        state.SetIterationTime(elapsed);
    }
}

void LoadSortShow(benchmark::State& state) {
    loadSortShow(state, Albums);
}

void LoadSortShowScattered(benchmark::State& state) {
    loadSortShow(state, Scattered);
}

void CoreLoad(benchmark::State& state) {
    Window w(int(state.range(0)), Albums);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        UndoList undo(prompts, w.main->undoLogPath());
        const double t0 = now();
        undo.load();
        state.SetIterationTime(now() - t0);
    }
}

void coreSort(benchmark::State& state, Shape shape) {
    Window w(int(state.range(0)), shape);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        UndoList undo(prompts, w.main->undoLogPath());
        undo.load();
        const double t0 = now();
        undo.SetSortMode(UndoList::ByBefore);
        state.SetIterationTime(now() - t0);
    }
}

void CoreSort(benchmark::State& state) {
    coreSort(state, Albums);
}

void CoreSortScattered(benchmark::State& state) {
    coreSort(state, Scattered);
}

} // namespace

SIZE_PAIR_BENCHMARK(LoadSortShow, 1, 5);
SIZE_PAIR_BENCHMARK(LoadSortShowScattered, 1, 5);
SIZE_PAIR_BENCHMARK(CoreLoad, 1, 5);
SIZE_PAIR_BENCHMARK(CoreSort, 1, 5);
SIZE_PAIR_BENCHMARK(CoreSortScattered, 1, 5);

WINDOW_BENCHMARK_MAIN();
