// Folder scanning and renaming against the bare system calls they are built on.
#include "benchdata.h"
#include "core/app/workspace.h"
#include "core/editor/namelines.h"
#include "core/filelist/adding.h"
#include "core/platform/naturalorder.h"
#include "core/platform/paths.h"
#include "core/rename/conflicts.h"
#include "core/rename/rename.h"
#include "core/rename/undolist.h"
#include "core/rename/undolog.h"
#include "ratio.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlane;

namespace {

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The tree of `files` empty files, 100 to a folder, made once and kept.
QString tree(int files) {
    static std::map<int, QString> trees;
    QString& t = trees[files];
    if (t.isEmpty())
        t = benchdata::fileTree(files);
    return t;
}

// The baseline: readdir over the tree, entry types as reported, nothing else;
// with `sizes`, also the one stat per file that knowing each file's size costs.
long bareWalk(const QByteArray& folder, bool sizes = false) {
    DIR* d = ::opendir(folder.constData());
    if (!d)
        return 0;
    long n = 0;
    std::vector<QByteArray> sub;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type == DT_DIR) {
            sub.push_back(folder + '/' + e->d_name);
        } else {
            struct ::stat st {};
            if (sizes && ::fstatat(::dirfd(d), e->d_name, &st, 0) == 0)
                n += st.st_size;
            ++n;
        }
    }
    ::closedir(d);
    for (const QByteArray& s : sub)
        n += bareWalk(s, sizes);
    return n;
}

void BareWalk(benchmark::State& state) {
    const QByteArray root = QFile::encodeName(tree(int(state.range(0))));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(bareWalk(root));
        state.SetIterationTime(since(t0));
    }
}

void BareWalkStat(benchmark::State& state) {
    const QByteArray root = QFile::encodeName(tree(int(state.range(0))));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(bareWalk(root, true));
        state.SetIterationTime(since(t0));
    }
}

void ScanAndAdd(benchmark::State& state) {
    const QString root = tree(int(state.range(0)));
    for (auto _ : state) {
        Options options;
        ScriptedPrompts prompts;
        ListNameLines editor;
        Workspace ws({&options, &prompts, &editor});
        const auto t0 = Clock::now();
        ws.adder.addFolder(root, true);
        state.SetIterationTime(since(t0));
        if (ws.list.count() < state.range(0))
            state.SkipWithError("files missing from the list");
    }
}

// One folder's worth of names in no particular order.
QStringList shuffledNames(int n) {
    QStringList names;
    for (int i = 0; i < n; ++i)
        names << QStringLiteral("Track %1 of the album.mp3").arg(i);
    std::shuffle(names.begin(), names.end(), std::mt19937(42));
    return names;
}

// The baseline: sorting the same names by code unit.
void PlainSort(benchmark::State& state) {
    const QStringList names = shuffledNames(int(state.range(0)));
    for (auto _ : state) {
        QStringList copy = names;
        const auto t0 = Clock::now();
        std::sort(copy.begin(), copy.end());
        state.SetIterationTime(since(t0));
    }
}

void NaturalSort(benchmark::State& state) {
    const QStringList names = shuffledNames(int(state.range(0)));
    for (auto _ : state) {
        QStringList copy = names;
        const auto t0 = Clock::now();
        NaturalOrder().sort(copy);
        state.SetIterationTime(since(t0));
    }
}

// Files a0..aN-1 renamed to b0..bN-1 and back, so every round starts alike;
// the folder is made once and kept, the runs log to a temporary folder.
struct RenameSet {
    QString folder;
    QTemporaryDir logs;
    QStringList a, b;
    explicit RenameSet(int n) : folder(benchdata::renameFolder(n)) {
        for (int i = 0; i < n; ++i) {
            a << folder + QStringLiteral("/a%1.mp3").arg(i);
            b << folder + QStringLiteral("/b%1.mp3").arg(i);
        }
    }
    QString log() const { return logs.path() + QStringLiteral("/vlnundo.txt"); }
    void back() {
        for (int i = 0; i < a.size(); ++i)
            ::rename(encodeName(b[i]).constData(), encodeName(a[i]).constData());
    }
};

void BareRename(benchmark::State& state) {
    RenameSet set(int(state.range(0)));
    std::vector<std::pair<QByteArray, QByteArray>> pairs;
    for (int i = 0; i < set.a.size(); ++i)
        pairs.emplace_back(encodeName(set.a[i]), encodeName(set.b[i]));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const auto& [from, to] : pairs)
            ::rename(from.constData(), to.constData());
        state.SetIterationTime(since(t0));
        set.back();
    }
}

// Renames the set's a-files to their b-names with the rename command, logged
// to `log`; the time of the run alone.
double renameSet(const RenameSet& set, const QString& log, int* renamed) {
    Options options;
    ScriptedPrompts prompts; // answers Yes to the question
    ListNameLines editor;
    FileList list(options, prompts, editor, PosixFileSystem::instance());
    for (int i = 0; i < set.a.size(); ++i)
        list.AddItem(i, 0, true, set.a[i]);
    QStringList names;
    for (const QString& p : set.b)
        names << fileNamePart(p);
    editor.setLines(names);
    list.SelectAll1Click();
    const auto t0 = Clock::now();
    *renamed = RenameRun(list, prompts, PosixFileSystem::instance(), log).Rename1Click().renamed;
    return since(t0);
}

void RenameRunOf(benchmark::State& state) {
    RenameSet set(int(state.range(0)));
    const QString log = set.log();
    UndoLog::createIfMissing(log);
    for (auto _ : state) {
        int renamed = 0;
        state.SetIterationTime(renameSet(set, log, &renamed));
        if (renamed != set.a.size())
            state.SkipWithError("renames failed");
        set.back();
    }
}

// The renames of a run taken back, newest first, each entry cut off the log
// once its file is back.
void TakeBack(benchmark::State& state) {
    RenameSet set(int(state.range(0)));
    const QString log = set.log();
    for (auto _ : state) {
        QFile::remove(log);
        UndoLog::createIfMissing(log);
        int renamed = 0;
        renameSet(set, log, &renamed);
        const auto t0 = Clock::now();
        const TakeBackResult r = takeBackLast(log, int(set.a.size()), PosixFileSystem::instance());
        state.SetIterationTime(since(t0));
        if (renamed != set.a.size() || r.done != set.a.size())
            state.SkipWithError("take-back failed");
    }
}

// The conflicts of 100,000 selected renames in one folder, beside one bare
// listing of that folder.
void BareListing(benchmark::State& state) {
    RenameSet set(int(state.range(0)));
    const QByteArray folder = encodeName(set.folder);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(bareWalk(folder, false));
        state.SetIterationTime(since(t0));
    }
}

void Conflicts(benchmark::State& state) {
    RenameSet set(int(state.range(0)));
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FileList list(options, prompts, editor, PosixFileSystem::instance());
    QStringList names;
    for (int i = 0; i < set.a.size(); ++i) {
        list.AddItem(i, 0, true, set.a[i]);
        names << fileNamePart(set.b[i]);
    }
    editor.setLines(names);
    list.SelectAll1Click();
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const auto found = findConflicts(list, false);
        state.SetIterationTime(since(t0));
        if (!found.isEmpty())
            state.SkipWithError("unexpected conflicts");
    }
}

} // namespace

BENCHMARK(BareListing)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(Conflicts)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BareWalk)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BareWalkStat)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(ScanAndAdd)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(PlainSort)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(NaturalSort)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BareRename)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(RenameRunOf)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

BENCHMARK(TakeBack)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    reporter.baselines = {{"ScanAndAdd", "BareWalk"},    {"ScanAndAdd", "BareWalkStat"},
                          {"NaturalSort", "PlainSort"},  {"Conflicts", "BareListing"},
                          {"RenameRunOf", "BareRename"}, {"TakeBack", "RenameRunOf"}};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
