#include "support/LiteralQuickSort.h"

#include <array>
#include <string>
#include <vector>

namespace vortel::test {

namespace {

struct GroupTables {
    // Indexed [level][group], level 0..10, group 1..1024.
    std::vector<std::array<std::int32_t, 1025>> Start, End, Size;
    std::vector<std::array<double, 1025>> Sum, Mean;
    GroupTables() : Start(11), End(11), Size(11), Sum(11), Mean(11) {}
};

}  // namespace

std::vector<LiteralGroup> LiteralSplit(AnalysisState& state) {
    if (state.FlowRecord && !state.SortUtilityUsed) state.FlowLine("Sub QuickSort");
    const std::int32_t n = state.SortCount;
    if (n < 1) throw RunStopped("The sort was given " + std::to_string(n) + " values.");
    double* input = state.SortInput.Through(n);
    std::int32_t* inputSerial = state.SortInputSerial.Through(n);

    double total = 0;
    for (std::int32_t k = 1; k <= n; ++k) total += input[k];
    state.SortTotal = total;
    state.SortMean = total / n;
    if (!state.SortGroupLimitSet) {
        state.SortGroupLimit = 1024;
        state.SortGroupLimitSet = true;
    }

    const auto size = static_cast<std::size_t>(n) + 1;
    std::vector<double> work2(size), work3(size);
    std::vector<std::int32_t> workSerial2(size), workSerial3(size);
    double* values[4] = {input, state.SortOutput.Through(n), work2.data(), work3.data()};
    std::int32_t* serials[4] = {inputSerial, state.SortOutputSerial.Through(n), workSerial2.data(),
                                workSerial3.data()};
    GroupTables t;
    // Level 0 is the input as one group split at the overall mean.
    t.Start[0][1] = 1;
    t.End[0][1] = n;
    t.Mean[0][1] = state.SortMean;

    // Brings the arrangement of the level that is finally ordered into the output pair.
    auto finalLevel = [&](int level) {
        const int pair = (level - 1) % 3 + 1;
        if (pair != 1) {
            for (std::int32_t k = 1; k <= n; ++k) {
                values[1][k] = values[pair][k];
                serials[1][k] = serials[pair][k];
            }
        }
        std::vector<LiteralGroup> groups;
        for (int g = 1; g <= (1 << level); ++g)
            groups.push_back({t.Start[level][g], t.End[level][g]});
        return groups;
    };

    for (int level = 1; level <= 10; ++level) {
        const int from = level == 1 ? 0 : (level - 2) % 3 + 1;
        const int to = (level - 1) % 3 + 1;
        const int parents = 1 << (level - 1);
        for (int q = 1; q <= parents; ++q) {
            t.Start[level][2 * q - 1] = t.Start[level - 1][q];
            t.End[level][2 * q] = t.End[level - 1][q];
            t.Size[level][2 * q - 1] = t.Size[level][2 * q] = 0;
            t.Sum[level][2 * q - 1] = t.Sum[level][2 * q] = 0;
        }
        for (int q = 1; q <= parents; ++q) {
            const int lower = 2 * q - 1, upper = 2 * q;
            for (std::int32_t k = t.Start[level - 1][q]; k <= t.End[level - 1][q]; ++k) {
                const double v = values[from][k];
                const int child = v >= t.Mean[level - 1][q] ? upper : lower;
                const std::int32_t at = child == upper
                                            ? t.End[level][upper] - t.Size[level][upper]
                                            : t.Start[level][lower] + t.Size[level][lower];
                values[to][at] = v;
                serials[to][at] = serials[from][k];
                t.Sum[level][child] += v;
                t.Size[level][child] += 1;
            }
            t.End[level][lower] = t.Start[level][lower] + t.Size[level][lower] - 1;
            t.Start[level][upper] = t.End[level][upper] - t.Size[level][upper] + 1;
        }
        for (int g = 1; g <= 2 * parents; ++g) {
            if (t.Size[level][g] == 0) {
                if (level == 1) {
                    state.SortGroupLimit = 1;
                    return {};
                }
                state.SortGroupLimit = static_cast<std::int16_t>(parents);
                return finalLevel(level - 1);
            }
            t.Mean[level][g] = t.Sum[level][g] / t.Size[level][g];
        }
        if (level < 10 && state.SortGroupLimit <= 2 * parents) return finalLevel(level);
    }
    return finalLevel(10);
}

void LiteralQuickSort(AnalysisState& state) {
    const auto groups = LiteralSplit(state);
    double* out = state.SortOutput.Through(state.SortCount);
    std::int32_t* outSerial = state.SortOutputSerial.Through(state.SortCount);
    for (const LiteralGroup& g : groups) {
        for (std::int32_t i = g.Start; i < g.End; ++i) {
            for (std::int32_t j = i + 1; j <= g.End; ++j) {
                if (out[i] > out[j]) {
                    std::swap(out[i], out[j]);
                    std::swap(outSerial[i], outSerial[j]);
                }
            }
        }
    }
}

}  // namespace vortel::test
