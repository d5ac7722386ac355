// Converting many paths with a mask, at 50,000 and 100,000 paths: the ratio
// shows whether a name costs more the further down the list it is.
#include "core/masks/applymask.h"
#include "ratio.h"

#include <QStringList>

#include <chrono>

using namespace vorlane;

namespace {

QStringList paths(int n) {
    QStringList p;
    p.reserve(n);
    for (int i = 0; i < n; ++i)
        p << QStringLiteral("/music/album %1/%2 - track title number %3.mp3").arg(i / 12).arg(i % 12).arg(i);
    return p;
}

void convert(benchmark::State& state, const QString& mask) {
    const int n = int(state.range(0));
    const QStringList list = paths(n);
    const MaskContext ctx;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const Mask compiled({mask});
        qsizetype chars = 0;
        for (int i = 0; i < n; ++i)
            chars += compiled.apply(i, n, list[i], ctx)->size();
        benchmark::DoNotOptimize(chars);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
}

void CountersAndRange(benchmark::State& s) {
    convert(s, QStringLiteral("[c5,'1']_[cc5]_[n3-].[e]"));
}
void BinaryCounter(benchmark::State& s) {
    convert(s, QStringLiteral("[c8,'0','01']"));
}
// The longest alphabet a counter may have: 1024 characters.
void WideAlphabet(benchmark::State& s) {
    convert(s, QStringLiteral("[c9,'','\u0100-\u04FF']"));
}

} // namespace

SIZE_PAIR_BENCHMARK(CountersAndRange, 2, 5);
SIZE_PAIR_BENCHMARK(BinaryCounter, 2, 5);
SIZE_PAIR_BENCHMARK(WideAlphabet, 2, 5);

RATIO_BENCHMARK_MAIN()
