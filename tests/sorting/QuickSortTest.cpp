// The partitioned sort: worked examples, and the fast sort against the plain reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "sorting/QuickSort.h"
#include "support/LiteralQuickSort.h"

namespace vortel {
namespace {

struct Sorted {
    std::vector<double> Values;
    std::vector<std::int32_t> Serials;
    bool operator==(const Sorted&) const = default;
    friend void PrintTo(const Sorted& s, std::ostream* os) {
        for (std::size_t k = 0; k < s.Values.size(); ++k)
            *os << s.Values[k] << "#" << s.Serials[k] << " ";
    }
};

// Serials 1..n unless given.
void Load(AnalysisState& state, const std::vector<double>& values,
          std::vector<std::int32_t> serials = {}) {
    if (serials.empty())
        for (std::size_t k = 1; k <= values.size(); ++k)
            serials.push_back(static_cast<std::int32_t>(k));
    state.SortCount = static_cast<std::int32_t>(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        state.SortInput(static_cast<std::int64_t>(k + 1)) = values[k];
        state.SortInputSerial(static_cast<std::int64_t>(k + 1)) = serials[k];
    }
}

Sorted Result(AnalysisState& state) {
    Sorted s;
    for (std::int32_t k = 1; k <= state.SortCount; ++k) {
        s.Values.push_back(state.SortOutput(k));
        s.Serials.push_back(state.SortOutputSerial(k));
    }
    return s;
}

template <class Sort>
Sorted SortIn(AnalysisState& state, const std::vector<double>& values, Sort sort) {
    Load(state, values);
    sort(state);
    return Result(state);
}

TEST(QuickSort, FirstSortOfRunCarriesSerialsWithValues) {
    struct Case {
        std::vector<double> in, values;
        std::vector<std::int32_t> serials;
        std::int16_t limit;
    };
    const Case cases[] = {
        // Level 2 finds the one-value group's lower child empty: two groups are ordered.
        {{3, 1, 2}, {1, 2, 3}, {2, 3, 1}, 2},
        // Level 3 meets an empty group: four groups are ordered.
        {{4, 8, 1, 9, 2, 7}, {1, 2, 4, 7, 8, 9}, {3, 5, 1, 6, 2, 4}, 4},
        // Equal values all go up, level 1's lower group is empty: the split order stays.
        {{5, 5, 5}, {5, 5, 5}, {3, 2, 1}, 1},
        {{6.5}, {6.5}, {1}, 1},
    };
    for (const auto& c : cases) {
        AnalysisState state;
        EXPECT_EQ(SortIn(state, c.in, QuickSort), (Sorted{c.values, c.serials}));
        EXPECT_EQ(state.SortGroupLimit, c.limit);
        EXPECT_EQ(state.SortGroupLimitSet, "Yes");
    }
}

TEST(QuickSort, LoweredLimitHoldsForLaterSortsOfTheRun) {
    AnalysisState state;
    SortIn(state, {3, 1, 2}, QuickSort);
    ASSERT_EQ(state.SortGroupLimit, 2);
    // First in a run this list reaches four groups; now two groups are exchange-sorted.
    // Level 1 splits at 38 / 7: lower 4 1 2 keeps its order, upper 8 9 7 7 is reversed, so the
    // tied 7s come out as serials 7, 6.
    EXPECT_EQ(SortIn(state, {4, 8, 1, 9, 2, 7, 7}, QuickSort),
              (Sorted{{1, 2, 4, 7, 7, 8, 9}, {3, 5, 1, 7, 6, 2, 4}}));
    EXPECT_EQ(state.SortGroupLimit, 2);
    SortIn(state, {5, 5, 5}, QuickSort);
    EXPECT_EQ(state.SortGroupLimit, 1);
    // The limit never rises again, and a limit of 1 still orders two groups.
    EXPECT_EQ(SortIn(state, {4, 8, 1, 9, 2, 7}, QuickSort).Values,
              (std::vector<double>{1, 2, 4, 7, 8, 9}));
    EXPECT_EQ(state.SortGroupLimit, 1);
}

}  // namespace
}  // namespace vortel
