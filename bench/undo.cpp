// The undo window at 50,000 and 100,000 log entries: opening it through the
// main window (the log is read, the rows shown), then a click on the "Before"
// header (sorted by folder and name) and a paint of the result. Beside it the
// core's share: reading the log and sorting the rows without a window.
#include "core/rename/undolist.h"
#include "ratio.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "ui/rename/tundof.h"

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

// Renames spread over folders of ten files, the newest written last.
QByteArray logOf(int n) {
    QByteArray log;
    log.reserve(qsizetype(n) * 90);
    for (int i = 0; i < n; ++i) {
        const int k = (i * 7919) % n;
        log += "/home/user/Music/Artist " + QByteArray::number(k % 997) + "/Album " +
               QByteArray::number(k / 10) + "/" + QByteArray::number(k % 10) + " track " +
               QByteArray::number(k) + ".mp3\r\n" + QByteArray::number(k % 10) + " - Song " +
               QByteArray::number(i) + ".mp3\r\n";
    }
    return log;
}

struct Window {
    QTemporaryDir home;
    Options options;
    ScriptedPrompts prompts;
    std::unique_ptr<TMain> main;
    explicit Window(int entries) {
        TMainDeps deps;
        deps.options = &options;
        deps.prompts = &prompts;
        deps.home = home.path();
        deps.appDir = home.path();
        main = std::make_unique<TMain>(deps);
        QFile f(main->undoLogPath());
        if (f.open(QIODevice::WriteOnly))
            f.write(logOf(entries));
        f.close();
        main->show();
        QApplication::processEvents();
    }
};

void LoadSortShow(benchmark::State& state) {
    Window w(int(state.range(0)));
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

void CoreLoad(benchmark::State& state) {
    Window w(int(state.range(0)));
    ScriptedPrompts prompts;
    for (auto _ : state) {
        UndoList undo(prompts, w.main->undoLogPath());
        const double t0 = now();
        undo.load();
        state.SetIterationTime(now() - t0);
    }
}

void CoreSortBefore(benchmark::State& state) {
    Window w(int(state.range(0)));
    ScriptedPrompts prompts;
    for (auto _ : state) {
        UndoList undo(prompts, w.main->undoLogPath());
        undo.load();
        const double t0 = now();
        undo.SetSortMode(UndoList::ByBefore);
        state.SetIterationTime(now() - t0);
    }
}

} // namespace

SIZE_PAIR_BENCHMARK(LoadSortShow, 1, 3);
SIZE_PAIR_BENCHMARK(CoreLoad, 1, 3);
SIZE_PAIR_BENCHMARK(CoreSortBefore, 1, 3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
