// The name editor at 50,000 and 100,000 lines: setting the text, padding it
// to the list's length, Right Align and Sort Ascending through the window's
// own commands.
#include "core/editor/namelines.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "ui/editor/nameeditor.h"
#include "ui/editor/scinamelines.h"
#include "window.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

using namespace vorlane;

namespace {

template <typename Setup, typename Op> void timed(benchmark::State& state, Setup setup, Op op) {
    const QStringList lines = trackNames(int(state.range(0)));
    for (auto _ : state) {
        BenchWindow w;
        setup(w, lines);
        const auto t0 = std::chrono::steady_clock::now();
        op(w, lines);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
}

void SetLines(benchmark::State& s) {
    timed(
        s, [](BenchWindow&, const QStringList&) {},
        [](BenchWindow& w, const QStringList& l) { w.main->names().setLines(l); });
}

void Padding(benchmark::State& s) {
    timed(
        s,
        [](BenchWindow& w, const QStringList& l) {
            // A list of that many lines beside an editor emptied by the user:
            // the padding is due and runs with the next turn of the event loop.
            // The lines go in as loading a project puts them: as one update.
            FileList& list = w.main->list();
            list.beginUpdate();
            for (int i = 0; i < l.size(); ++i)
                list.AddItem(i, 0, true, QStringLiteral("/m/") + l[i]);
            list.endUpdate();
            w.main->Se2()->clear();
        },
        [&s](BenchWindow& w, const QStringList& l) {
            QApplication::processEvents();
            if (w.main->names().count() < l.size())
                s.SkipWithError("the editor was not padded");
        });
}

void RightAlign(benchmark::State& s) {
    timed(
        s, [](BenchWindow& w, const QStringList& l) { w.main->names().setLines(l); },
        [](BenchWindow& w, const QStringList&) { w.main->ralignmClick(); });
}

void SortAscending(benchmark::State& s) {
    timed(
        s,
        [](BenchWindow& w, const QStringList& l) {
            w.main->names().setLines(l);
            w.main->Se2()->selectAll(true);
        },
        [](BenchWindow& w, const QStringList&) { w.main->Accending1Click(); });
}

} // namespace

SIZE_PAIR_BENCHMARK(SetLines, 1, 3);
SIZE_PAIR_BENCHMARK(Padding, 1, 3);
SIZE_PAIR_BENCHMARK(RightAlign, 1, 3);
SIZE_PAIR_BENCHMARK(SortAscending, 1, 3);

WINDOW_BENCHMARK_MAIN();
