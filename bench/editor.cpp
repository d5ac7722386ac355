// The name editor at 50,000 and 100,000 lines: setting the text, padding it
// to the list's length, Right Align and Sort Ascending through the window's
// own commands.
#include "core/editor/namelines.h"
#include "ratio.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "ui/editor/nameeditor.h"
#include "ui/editor/scinamelines.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

using namespace vorlane;

namespace {

struct Window {
    QTemporaryDir home;
    Options options;
    ScriptedPrompts prompts;
    std::unique_ptr<TMain> main;
    Window() {
        TMainDeps deps;
        deps.options = &options;
        deps.prompts = &prompts;
        deps.home = home.path();
        deps.appDir = home.path();
        main = std::make_unique<TMain>(deps);
        main->show();
        QApplication::processEvents();
    }
};

QStringList names(int n) {
    QStringList l;
    l.reserve(n);
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("%1 some track name %2.mp3").arg((i * 7919) % 100000).arg(QString(i % 17, u'x'));
    return l;
}

template <typename Setup, typename Op> void timed(benchmark::State& state, Setup setup, Op op) {
    const QStringList lines = names(int(state.range(0)));
    for (auto _ : state) {
        Window w;
        setup(w, lines);
        const auto t0 = std::chrono::steady_clock::now();
        op(w, lines);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
}

void SetLines(benchmark::State& s) {
    timed(
        s, [](Window&, const QStringList&) {},
        [](Window& w, const QStringList& l) { w.main->names().setLines(l); });
}

void Padding(benchmark::State& s) {
    timed(
        s,
        [](Window& w, const QStringList& l) {
            // A list of that many lines beside an editor emptied by the user:
            // the padding is due and runs with the next turn of the event loop.
            for (int i = 0; i < l.size(); ++i)
                w.main->list().AddItem(i, 0, true, QStringLiteral("/m/") + l[i]);
            w.main->Se2()->clear();
        },
        [](Window&, const QStringList&) { QApplication::processEvents(); });
}

void RightAlign(benchmark::State& s) {
    timed(
        s, [](Window& w, const QStringList& l) { w.main->names().setLines(l); },
        [](Window& w, const QStringList&) { w.main->ralignmClick(); });
}

void SortAscending(benchmark::State& s) {
    timed(
        s,
        [](Window& w, const QStringList& l) {
            w.main->names().setLines(l);
            w.main->Se2()->selectAll(true);
        },
        [](Window& w, const QStringList&) { w.main->Accending1Click(); });
}

} // namespace

SIZE_PAIR_BENCHMARK(SetLines, 1, 3);
SIZE_PAIR_BENCHMARK(Padding, 1, 3);
SIZE_PAIR_BENCHMARK(RightAlign, 1, 3);
SIZE_PAIR_BENCHMARK(SortAscending, 1, 3);

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
