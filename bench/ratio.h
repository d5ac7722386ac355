#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Prints each benchmark as usual, then for every operation the best time at
// the larger size divided by the best time at the smaller one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Operations measured against a baseline of the same size, instead of sizes
    // against each other: {operation, baseline}.
    std::vector<std::pair<std::string, std::string>> baselines;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The best of the repetitions: the machine's noise only ever adds time.
        for (const Run& r : runs) {
            // A run that stopped with an error measured nothing worth a ratio.
            if (r.run_type != Run::RT_Iteration || r.error_occurred)
                continue;
            const std::string& op = r.run_name.function_name;
            const long n = std::stol(r.run_name.args);
            auto [it, fresh] = m_times[op].emplace(n, r.GetAdjustedRealTime());
            if (!fresh)
                it->second = std::min(it->second, r.GetAdjustedRealTime());
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (!baselines.empty()) {
            std::printf("\n%-22s %-18s %8s %12s %12s %8s\n", "operation", "baseline", "size", "operation",
                        "baseline", "ratio");
            for (const auto& [op, base] : baselines)
                for (const auto& [n, t] : m_times[op])
                    if (m_times[base].count(n))
                        std::printf("%-22s %-18s %8ld %9.2f ms %9.2f ms %8.2f\n", op.c_str(), base.c_str(), n,
                                    t, m_times[base][n], t / m_times[base][n]);
            return;
        }
        std::printf("\n%-28s %12s %12s %8s\n", "operation", "small", "large", "ratio");
        for (const auto& [op, bySize] : m_times) {
            if (bySize.size() < 2)
                continue;
            const auto small = bySize.begin();
            const auto large = bySize.rbegin();
            std::printf("%-28s %9.2f ms %9.2f ms %8.2f  (%ld vs %ld)\n", op.c_str(), small->second,
                        large->second, large->second / small->second, large->first, small->first);
        }
    }

private:
    std::map<std::string, std::map<long, double>> m_times;
};

// The program's arguments with the repetitions of all sizes asked to run in
// a shuffled order, instead of all of one size and then all of the next: a
// spell of load on the shared machine then falls on both sizes alike rather
// than on one side of the ratio. The best time of each size is still what
// counts. Arguments given on the command line come later and win.
class InterleavedArgs {
public:
    InterleavedArgs(int argc, char** argv) : m_argv(argv, argv + argc) {
        m_argv.insert(m_argv.begin() + (argc > 0 ? 1 : 0), m_flag.data());
        m_argv.push_back(nullptr);
        m_argc = int(m_argv.size()) - 1;
    }
    int* argc() { return &m_argc; }
    char** argv() { return m_argv.data(); }

private:
    std::string m_flag = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> m_argv;
    int m_argc = 0;
};

// Registers a benchmark at 50,000 and 100,000 items, timed by the benchmark
// itself, best of `reps` repetitions of `iters` iterations.
#define SIZE_PAIR_BENCHMARK(fn, iters, reps)                                                                 \
    BENCHMARK(fn)                                                                                            \
        ->Arg(50000)                                                                                         \
        ->Arg(100000)                                                                                        \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->Iterations(iters)                                                                                  \
        ->Repetitions(reps)

#define RATIO_BENCHMARK_MAIN()                                                                               \
    int main(int argc, char** argv) {                                                                        \
        InterleavedArgs args(argc, argv);                                                                    \
        benchmark::Initialize(args.argc(), args.argv());                                                     \
        RatioReporter reporter;                                                                              \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                                        \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
