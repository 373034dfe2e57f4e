// The partitioned sort: worked examples, and the fast sort against the plain reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

// The sort over a whole record's parts.
void SortWhole(AnalysisState& s) { QuickSort(s, s, s); }

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
        EXPECT_EQ(SortIn(state, c.in, SortWhole), (Sorted{c.values, c.serials}));
        EXPECT_EQ(state.SortGroupLimit, c.limit);
        EXPECT_TRUE(state.SortGroupLimitSet);
    }
}

TEST(QuickSort, LoweredLimitHoldsForLaterSortsOfTheRun) {
    AnalysisState state;
    SortIn(state, {3, 1, 2}, SortWhole);
    ASSERT_EQ(state.SortGroupLimit, 2);
    // First in a run this list reaches four groups; now two groups are exchange-sorted.
    // Level 1 splits at 38 / 7: lower 4 1 2 keeps its order, upper 8 9 7 7 is reversed, so the
    // tied 7s come out as serials 7, 6.
    EXPECT_EQ(SortIn(state, {4, 8, 1, 9, 2, 7, 7}, SortWhole),
              (Sorted{{1, 2, 4, 7, 7, 8, 9}, {3, 5, 1, 7, 6, 2, 4}}));
    EXPECT_EQ(state.SortGroupLimit, 2);
    SortIn(state, {5, 5, 5}, SortWhole);
    EXPECT_EQ(state.SortGroupLimit, 1);
    // The limit never rises again, and a limit of 1 still orders two groups.
    EXPECT_EQ(SortIn(state, {4, 8, 1, 9, 2, 7}, SortWhole).Values,
              (std::vector<double>{1, 2, 4, 7, 8, 9}));
    EXPECT_EQ(state.SortGroupLimit, 1);
}

// Kinds of list whose split means and ties take different paths through the sort: 0 distinct,
// 1 and 2 few ties whose sums do not come out exact, 3 values a few ulps apart, 4 normal values
// coarsely rounded, 5 signed zeros, 6 and 7 hundreds of tied values.
std::vector<double> RandomList(std::mt19937_64& rng, int kind, std::size_t n) {
    std::normal_distribution<double> normal(10, 3);
    std::uniform_int_distribution<int> few(0, kind == 1 ? 2 : 12);
    std::vector<double> v(n);
    for (auto& x : v) {
        if (kind == 0) x = normal(rng);
        if (kind == 1 || kind == 2) x = few(rng) * 0.1;
        if (kind == 3) {
            x = 0.3;
            for (int u = few(rng) % 4; u > 0; --u) x = std::nextafter(x, 1.0);
        }
        if (kind == 4) x = std::round(normal(rng) * 4) / 4;
        if (kind == 5) x = (few(rng) % 3 - 1) * 0.0;
        if (kind == 6) x = static_cast<double>(rng() % 600) * 0.01;
        if (kind == 7) x = static_cast<double>(rng() % 200) * 0.01;
    }
    return v;
}

TEST(QuickSort, MatchesThePlainSortOnRandomLists) {
    std::mt19937_64 rng(20240307);
    const std::size_t sizes[] = {1, 2, 3, 5, 17, 100, 511, 1000, 2500, 4000};
    for (int kind = 0; kind <= 7; ++kind) {
        for (int run = 0; run < 4; ++run) {
            // Several sorts in one state each, so earlier sorts lower the limit for later ones.
            AnalysisState fast, plain;
            for (int sort = 0; sort < 5; ++sort) {
                const std::size_t n = sizes[rng() % std::size(sizes)];
                const auto values = RandomList(rng, (sort + run) % 3 == 0 ? 0 : kind, n);
                std::vector<std::int32_t> serials(n);
                for (auto& s : serials) s = static_cast<std::int32_t>(rng() % 1000);
                Load(fast, values, serials);
                Load(plain, values, serials);
                QuickSort(fast, fast, fast);
                test::LiteralQuickSort(plain);
                SCOPED_TRACE(testing::Message() << "kind " << kind << " run " << run << " sort "
                                                << sort << " n " << n);
                ASSERT_EQ(Result(fast), Result(plain));
                ASSERT_EQ(fast.SortGroupLimit, plain.SortGroupLimit);
                ASSERT_EQ(fast.SortTotal, plain.SortTotal);
            }
        }
    }
}

TEST(QuickSort, LimitTwoOrdersLargeTiedGroupsLikeThePlainSort) {
    std::mt19937_64 rng(7);
    // Groups of thousands holding a few tied values and hundreds of them.
    for (int kind : {1, 2, 4, 6, 7}) {
        AnalysisState fast, plain;
        fast.SortGroupLimitSet = plain.SortGroupLimitSet = true;
        fast.SortGroupLimit = plain.SortGroupLimit = 2;
        const auto values = RandomList(rng, kind, 3000);
        Load(fast, values);
        Load(plain, values);
        QuickSort(fast, fast, fast);
        test::LiteralQuickSort(plain);
        EXPECT_EQ(Result(fast), Result(plain));
    }
}

TEST(QuickSort, ValuesTheSplitCannotOrder) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> lists = {
        {2, std::nan(""), 1}, {inf, 1, inf, 0}, {1, -inf, 3}, {1e308, 1.7e308, -1, 5}};
    for (const auto& list : lists) {
        AnalysisState fast, plain;
        Load(fast, list);
        Load(plain, list);
        QuickSort(fast, fast, fast);
        test::LiteralQuickSort(plain);
        // NaN never equals itself, so compare the bits through their text.
        EXPECT_EQ(testing::PrintToString(Result(fast)), testing::PrintToString(Result(plain)));
        EXPECT_EQ(fast.SortGroupLimit, plain.SortGroupLimit);
    }
}

TEST(QuickSort, CountOutsideTheListStopsTheRun) {
    for (std::int32_t n : {0, -3, ListCapacity + 1}) {
        AnalysisState state;
        state.SortCount = n;
        EXPECT_THROW(QuickSort(state, state, state), RunStopped);
        EXPECT_EQ(state.SortGroupLimit, 0);
    }
}

}  // namespace
}  // namespace vortel
