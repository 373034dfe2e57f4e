// The partitioned sort on four million values: distinct, tied, and under a lowered group limit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "shell/state/AnalysisState.h"
#include "sorting/QuickSort.h"

namespace {

constexpr std::int32_t Count = 4'000'000;

void Fill(vortel::AnalysisState& state, bool hundredValues) {
    std::mt19937_64 rng(42);
    std::normal_distribution<double> normal(0.25, 0.04);
    double* input = state.SortInput.Through(Count);
    std::int32_t* serial = state.SortInputSerial.Through(Count);
    for (std::int32_t k = 1; k <= Count; ++k) {
        const double x = normal(rng);
        input[k] = hundredValues ? std::clamp(std::round((x - 0.25) * 400), -50.0, 49.0) : x;
        serial[k] = k;
    }
    state.SortCount = Count;
}

// `limit` 0: the first sort of a run.
void Sort(benchmark::State& bench, bool hundredValues, std::int16_t limit) {
    vortel::AnalysisState state;
    Fill(state, hundredValues);
    for (auto _ : bench) {
        state.SortGroupLimitSet = limit != 0;
        state.SortGroupLimit = limit;
        vortel::QuickSort(state, state, state);
        benchmark::DoNotOptimize(state.SortOutput.Data());
    }
    bench.counters["groups"] = state.SortGroupLimit;
}

void BM_DistinctFirstSort(benchmark::State& s) { Sort(s, false, 0); }
void BM_HundredValuesFirstSort(benchmark::State& s) { Sort(s, true, 0); }
void BM_DistinctAfterLimitTwo(benchmark::State& s) { Sort(s, false, 2); }
void BM_HundredValuesAfterLimitTwo(benchmark::State& s) { Sort(s, true, 2); }

BENCHMARK(BM_DistinctFirstSort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HundredValuesFirstSort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DistinctAfterLimitTwo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HundredValuesAfterLimitTwo)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
