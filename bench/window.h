#pragma once

// The real main window for benchmarks: offscreen, over the disk, with a
// temporary home folder and prompts that answer Yes.
#include "ratio.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"

#include <QApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

struct BenchWindow {
    QTemporaryDir home;
    vorlane::Options options;
    vorlane::ScriptedPrompts prompts;
    std::unique_ptr<vorlane::TMain> main;
    // `prepare` runs after the window is made and before it shows.
    explicit BenchWindow(const std::function<void(vorlane::TMain&)>& prepare = {}) {
        vorlane::TMainDeps deps;
        deps.options = &options;
        deps.prompts = &prompts;
        deps.home = home.path();
        deps.appDir = home.path();
        main = std::make_unique<vorlane::TMain>(deps);
        if (prepare)
            prepare(*main);
        main->show();
        QApplication::processEvents();
    }
};

// Names of tracks in no particular order, of varied lengths.
inline QStringList trackNames(int n) {
    QStringList l;
    l.reserve(n);
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("%1 some track name %2.mp3").arg((i * 7919) % 100000).arg(QString(i % 17, u'x'));
    return l;
}

// main() of a benchmark program that needs the window system (offscreen).
#define WINDOW_BENCHMARK_MAIN()                                                                              \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        InterleavedArgs args(argc, argv);                                                                    \
        benchmark::Initialize(args.argc(), args.argv());                                                     \
        RatioReporter reporter;                                                                              \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                                        \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
