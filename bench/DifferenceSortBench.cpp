// One pair of the Cartesian test: the sort of all 2000 x 2000 differences of two samples.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "sorting/DifferenceSort.h"

namespace {

void BM_DifferencesOfTwoThousandSquared(benchmark::State& bench) {
    std::mt19937_64 rng(11);
    std::normal_distribution<double> first(0.21, 0.012), second(0.18, 0.015);
    std::vector<double> x(2000), y(2000);
    for (auto& v : x) v = first(rng);
    for (auto& v : y) v = second(rng);
    vortel::DifferenceList list{x, y, false, 0};
    for (double a : x)
        for (double b : y) list.Total += a - b;
    const std::array<std::int64_t, 2> ranks{100'000, 3'900'000};
    std::array<double, 2> values{};
    for (auto _ : bench) {
        vortel::AnalysisState state;
        vortel::QuickSortOfDifferences(state, list, ranks, values);
        benchmark::DoNotOptimize(values);
        bench.counters["groups"] = state.SortGroupLimit;
    }
}
BENCHMARK(BM_DifferencesOfTwoThousandSquared)->Unit(benchmark::kMillisecond);

}  // namespace
