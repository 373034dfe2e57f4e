// One pair of the Cartesian test: the sort of all 2000 x 2000 differences of two samples.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "shell/state/AnalysisState.h"
#include "sorting/DifferenceSort.h"

namespace {

// `decimals` > 0 rounds the values, as files written with few digits do; their differences
// then tie often.
void Pair(benchmark::State& bench, int decimals) {
    std::mt19937_64 rng(11);
    std::normal_distribution<double> first(0.21, 0.012), second(0.18, 0.015);
    std::vector<double> x(2000), y(2000);
    const double scale = std::pow(10.0, decimals);
    auto round = [&](double v) { return decimals > 0 ? std::round(v * scale) / scale : v; };
    for (auto& v : x) v = round(first(rng));
    for (auto& v : y) v = round(second(rng));
    vortel::DifferenceList list{x, y, false, 0};
    for (double a : x)
        for (double b : y) list.Total += a - b;
    const std::array<std::int64_t, 2> ranks{100'000, 3'900'000};
    std::array<double, 2> values{};
    for (auto _ : bench) {
        vortel::AnalysisState state;
        vortel::QuickSortOfDifferences(state, state, state, list, ranks, values);
        benchmark::DoNotOptimize(values);
        bench.counters["groups"] = state.SortGroupLimit;
    }
}

void BM_DifferencesOfTwoThousandSquared(benchmark::State& s) { Pair(s, 0); }
void BM_DifferencesOfRoundedValues(benchmark::State& s) { Pair(s, 3); }
BENCHMARK(BM_DifferencesOfTwoThousandSquared)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferencesOfRoundedValues)->Unit(benchmark::kMillisecond);

}  // namespace
