// File list operations at 50,000 and 100,000 lines: the ratio shows whether a
// step grows faster than the list.
#include "core/filelist/filelist.h"
#include "ratio.h"
#include "support/fakefs.h"
#include "support/scriptedprompts.h"

#include <chrono>

using namespace vorlane;

namespace {

struct Fixture {
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FakeFileSystem fs;
    FileList list{options, prompts, editor, fs};
    QStringList paths;

    explicit Fixture(int n) {
        for (int i = 0; i < n; ++i) {
            // Folders of 100 files, names in an order unlike the adding order.
            const QString p = QStringLiteral("/music/album%1/track %2.mp3")
                                  .arg(i / 100, 5, 10, QChar(u'0'))
                                  .arg((i * 7919) % 100000, 6, 10, QChar(u'0'));
            paths << p;
            fs.files.insert(p, 4096 + i);
        }
    }
    void fill() {
        list.beginUpdate();
        for (int i = 0; i < paths.size(); ++i)
            list.AddItem(i, int(paths.size()), false, paths[i]);
        list.endUpdate();
    }
};

template <typename Setup, typename Op> void timed(benchmark::State& state, Setup setup, Op op) {
    for (auto _ : state) {
        Fixture f(int(state.range(0)));
        setup(f);
        const auto t0 = std::chrono::steady_clock::now();
        op(f);
        const auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
}

void AddWithDuplicateTest(benchmark::State& s) {
    timed(
        s, [](Fixture&) {}, [](Fixture& f) { f.fill(); });
}

void SortByName(benchmark::State& s) {
    timed(
        s,
        [](Fixture& f) {
            f.fill();
            f.list.SelectAll1Click();
        },
        [](Fixture& f) { f.list.SortSelection(FileList::ByName); });
}

void DeleteEverySecondLine(benchmark::State& s) {
    timed(
        s,
        [](Fixture& f) {
            f.fill();
            for (int i = 0; i < f.list.count(); i += 2)
                f.list.setSelected(i, true);
        },
        [](Fixture& f) { f.list.mDeleteFromListClick(); });
}

void SelectAll(benchmark::State& s) {
    timed(
        s, [](Fixture& f) { f.fill(); }, [](Fixture& f) { f.list.SelectAll1Click(); });
}

} // namespace

SIZE_PAIR_BENCHMARK(AddWithDuplicateTest, 2, 5);
SIZE_PAIR_BENCHMARK(SortByName, 2, 5);
// Both take a few milliseconds or less: more iterations, so that one
// interruption of the machine weighs less in each repetition's mean.
SIZE_PAIR_BENCHMARK(DeleteEverySecondLine, 10, 5);
SIZE_PAIR_BENCHMARK(SelectAll, 10, 5);

RATIO_BENCHMARK_MAIN()
