// The sort of all differences at the size a run hands it: a 2000 x 2000 pair, checked against
// sorting every formed difference and against the split phase followed step by step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "sorting/DifferenceSort.h"
#include "sorting/QuickSort.h"
#include "support/LiteralQuickSort.h"

namespace vortel {
namespace {

constexpr std::size_t Values = 2000;
constexpr std::int64_t Count = static_cast<std::int64_t>(Values * Values);
// Above this many values a group's positions are found without gathering its members.
constexpr std::int32_t GatheredGroupMost = 65536;

struct Pair {
    const char* Name;
    double Grid;  // values rounded to multiples of it, 0 for none; coarse grids give many ties
    bool Negate;
};

struct EarlierSort {
    const char* Name;
    std::vector<double> Values;  // sorted first in the same run, empty for none
    std::int16_t Limit;          // the group limit it leaves
};

std::vector<double> Sample(std::mt19937_64& rng, double grid) {
    std::normal_distribution<double> normal(0.2, 0.05);
    std::vector<double> v(Values);
    for (double& x : v) x = grid > 0 ? std::round(normal(rng) / grid) * grid : normal(rng);
    return v;
}

std::vector<double> Counting(double first, double last) {
    std::vector<double> v;
    for (double x = first; x <= last; ++x) v.push_back(x);
    return v;
}

void SortInState(AnalysisState& state, const std::vector<double>& values,
                 void (*sort)(AnalysisState&)) {
    state.SortCount = static_cast<std::int32_t>(values.size());
    for (std::size_t k = 0; k < values.size(); ++k)
        state.SortInput(static_cast<std::int64_t>(k + 1)) = values[k];
    sort(state);
}

TEST(QuickSortOfDifferencesFullScale, MatchesTheFormedListAndTheLiteralSplit) {
    // Alone, the 0.01 grid stops at 16 groups of up to 440,000 values, the 0.001 grid at 128.
    const std::vector<Pair> pairs{{"normal", 0, false},
                                  {"ties on a 0.01 grid", 0.01, true},
                                  {"ties on a 0.001 grid", 0.001, false}};
    const std::vector<EarlierSort> earlier{
        {"first sort of the run", {}, 1024},
        {"after 32 distinct values", Counting(1, 32), 32},  // 32 groups of about 125,000
        {"after three values", {3, 1, 2}, 2}};              // two groups of about 2,000,000
    std::mt19937_64 rng(20240615);
    for (const Pair& pair : pairs) {
        const auto x = Sample(rng, pair.Grid), y = Sample(rng, pair.Grid);
        DifferenceList list{x, y, pair.Negate, 0};
        std::vector<double> formed;
        formed.reserve(static_cast<std::size_t>(Count));
        for (double a : x) {
            for (double b : y) {
                formed.push_back(pair.Negate ? b - a : a - b);
                list.Total += formed.back();
            }
        }
        std::vector<double> ascending = formed;
        std::sort(ascending.begin(), ascending.end());

        for (const EarlierSort& before : earlier) {
            SCOPED_TRACE(testing::Message() << pair.Name << ", " << before.Name);
            AnalysisState fast, literal;
            if (!before.Values.empty()) {
                SortInState(fast, before.Values, [](AnalysisState& s) { QuickSort(s, s, s); });
                SortInState(literal, before.Values, test::LiteralQuickSort);
                ASSERT_EQ(fast.SortGroupLimit, before.Limit);
                ASSERT_EQ(literal.SortGroupLimit, before.Limit);
            }

            // The reference: the literal split, then each final group ordered by value.
            literal.SortCount = static_cast<std::int32_t>(Count);
            std::copy(formed.begin(), formed.end(), literal.SortInput.Through(Count) + 1);
            const auto groups = test::LiteralSplit(literal);
            double* reference = literal.SortOutput.Through(Count);
            std::int32_t largest = 0;
            for (const auto& g : groups) {
                std::sort(reference + g.Start, reference + g.End + 1);
                largest = std::max(largest, g.End - g.Start + 1);
            }
            if (before.Limit <= 32) {
                EXPECT_GT(largest, GatheredGroupMost);
            }

            // Every group's first and last position, the percentile ranks, and a spread.
            std::vector<std::int64_t> positions{1, Count, 100000, 3900000};
            for (const auto& g : groups) {
                positions.push_back(g.Start);
                positions.push_back(g.End);
            }
            for (int r = 0; r < 200; ++r)
                positions.push_back(1 + static_cast<std::int64_t>(rng() % Count));
            std::vector<double> values(positions.size());
            QuickSortOfDifferences(fast, fast, fast, list, positions, values);

            EXPECT_EQ(fast.SortCount, literal.SortCount);
            EXPECT_EQ(fast.SortTotal, literal.SortTotal);
            EXPECT_EQ(fast.SortMean, literal.SortMean);
            EXPECT_EQ(fast.SortGroupLimit, literal.SortGroupLimit);
            ASSERT_FALSE(groups.empty());  // no one-group stop: the result is in order
            for (std::size_t e = 0; e < positions.size(); ++e) {
                const auto at = static_cast<std::size_t>(positions[e]);
                ASSERT_EQ(values[e], reference[at]) << "position " << at;
                ASSERT_EQ(values[e], ascending[at - 1]) << "position " << at;
            }
        }
    }
}

}  // namespace
}  // namespace vortel
