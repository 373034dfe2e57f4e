// The sort of all differences of two samples, checked against forming and sorting them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "shell/state/FlowRecord.h"
#include "sorting/DifferenceSort.h"
#include "sorting/QuickSort.h"
#include "support/LiteralQuickSort.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

DifferenceList Differences(const std::vector<double>& x, const std::vector<double>& y,
                           bool negate) {
    DifferenceList list{x, y, negate, 0};
    for (double a : x)
        for (double b : y) list.Total += negate ? b - a : a - b;
    return list;
}

// Forms every difference, sorts them with the plain sort and reads the positions.
std::vector<double> FormAndSort(AnalysisState& state, const DifferenceList& list,
                                const std::vector<std::int64_t>& positions) {
    std::int64_t k = 0;
    for (double a : list.X)
        for (double b : list.Y) state.SortInput(++k) = list.Negate ? b - a : a - b;
    state.SortCount = static_cast<std::int32_t>(k);
    test::LiteralQuickSort(state);
    std::vector<double> values;
    for (std::int64_t p : positions) values.push_back(state.SortOutput(p));
    return values;
}

std::vector<double> SortDifferences(AnalysisState& state, const DifferenceList& list,
                                    const std::vector<std::int64_t>& positions) {
    std::vector<double> values(positions.size());
    QuickSortOfDifferences(state, state, state, list, positions, values);
    return values;
}

std::vector<std::int64_t> Ranks(std::int64_t n, std::mt19937_64& rng) {
    const auto count = static_cast<double>(n);
    std::vector<std::int64_t> ranks{1, n, std::llround(count * 0.025 + 0.5),
                                    std::llround(count * 0.975 + 0.5)};
    for (int r = 0; r < 4; ++r)
        ranks.push_back(1 + static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(n)));
    for (auto& r : ranks) r = std::clamp<std::int64_t>(r, 1, n);
    return ranks;
}

std::vector<double> Sample(std::mt19937_64& rng, int kind, std::size_t n) {
    std::normal_distribution<double> normal(0.2, 0.05);
    std::uniform_int_distribution<int> few(0, 4);
    std::vector<double> v(n);
    const double one = normal(rng);
    for (auto& x : v) {
        switch (kind) {
            case 0:
                x = normal(rng);
                break;
            case 1:
                x = few(rng) * 0.1;
                break;  // ties whose sums round
            case 2: {   // a few ulps apart
                x = 0.7;
                for (int u = few(rng); u > 0; --u) x = std::nextafter(x, 1.0);
                break;
            }
            case 3:
                x = one;
                break;  // one value throughout
            case 4:
                x = 1e6 + normal(rng);
                break;  // large values, small gaps
            default:
                x = std::round(normal(rng) * 40) / 40;
                break;  // coarsely rounded
        }
    }
    return v;
}

TEST(QuickSortOfDifferences, MatchesFormingAndSortingThemAll) {
    std::mt19937_64 rng(99);
    for (int kind = 0; kind <= 5; ++kind) {
        for (int run = 0; run < 6; ++run) {
            // A run of pairs in one state, then a sort of another list that shows the limit
            // they left through the serials of its ties.
            AnalysisState fast, plain;
            for (int pair = 0; pair < 4; ++pair) {
                const auto x = Sample(rng, kind, 1 + rng() % 70);
                const auto y =
                    (run == 5 && pair == 0) ? x : Sample(rng, (kind + pair) % 6, 1 + rng() % 70);
                const auto list = Differences(x, y, rng() % 2 == 1);
                const auto ranks = Ranks(static_cast<std::int64_t>(x.size() * y.size()), rng);
                SCOPED_TRACE(testing::Message()
                             << "kind " << kind << " run " << run << " pair " << pair << " sizes "
                             << x.size() << " x " << y.size());
                ASSERT_EQ(SortDifferences(fast, list, ranks), FormAndSort(plain, list, ranks));
                ASSERT_EQ(fast.SortGroupLimit, plain.SortGroupLimit);
                ASSERT_EQ(fast.SortMean, plain.SortMean);
            }
            const auto later = Sample(rng, 1, 300);
            for (AnalysisState* s : {&fast, &plain}) {
                s->SortCount = static_cast<std::int32_t>(later.size());
                for (std::size_t k = 0; k < later.size(); ++k) {
                    s->SortInput(static_cast<std::int64_t>(k + 1)) = later[k];
                    s->SortInputSerial(static_cast<std::int64_t>(k + 1)) =
                        static_cast<std::int32_t>(k + 1);
                }
                QuickSort(*s, *s, *s);
            }
            for (std::int32_t k = 1; k <= fast.SortCount; ++k)
                ASSERT_EQ(fast.SortOutputSerial(k), plain.SortOutputSerial(k)) << "position " << k;
        }
    }
}

TEST(QuickSortOfDifferences, WorkedPair) {
    // {3, 4} minus {1, 2}: differences 2, 1, 3, 2 with mean 2. Level 1 puts 1 below and 3 2 2
    // above; the lower group of one value leaves an empty child, so two groups are ordered.
    AnalysisState state;
    const std::vector<double> x{3, 4}, y{1, 2};
    EXPECT_EQ(SortDifferences(state, Differences(x, y, false), {1, 2, 3, 4}),
              (std::vector<double>{1, 2, 2, 3}));
    EXPECT_EQ(state.SortGroupLimit, 2);
    // Equal values all go up and stay in the order the split left: k from the last.
    AnalysisState equal;
    const std::vector<double> one{5}, three{1, 1, 1};
    EXPECT_EQ(SortDifferences(equal, Differences(one, three, false), {1}),
              (std::vector<double>{4}));
    EXPECT_EQ(equal.SortGroupLimit, 1);
}

TEST(QuickSortOfDifferences, OneGroupStopKeepsTheSplitOrder) {
    // 0.1 and the next double above it have a mean that rounds to 0.1, so both go up and the
    // list stays unsorted, last difference first.
    AnalysisState state;
    const double above = std::nextafter(0.1, 1.0);
    const std::vector<double> x{0.1, above}, y{0.0};
    EXPECT_EQ(SortDifferences(state, Differences(x, y, false), {1, 2}),
              (std::vector<double>{above, 0.1}));
    EXPECT_EQ(state.SortGroupLimit, 1);
}

TEST(QuickSortOfDifferences, UnboundedValuesSortLikeTheFormedList) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> samples{
        {1e308, -1e308, 3}, {-1e308, 2}, {inf, 1}, {0.5}, {2, std::nan("")}};
    for (const auto& x : samples) {
        for (const auto& y : samples) {
            AnalysisState fast, plain;
            const auto list = Differences(x, y, true);
            const auto ranks =
                std::vector<std::int64_t>{1, static_cast<std::int64_t>(x.size() * y.size())};
            EXPECT_EQ(testing::PrintToString(SortDifferences(fast, list, ranks)),
                      testing::PrintToString(FormAndSort(plain, list, ranks)));
            EXPECT_EQ(fast.SortGroupLimit, plain.SortGroupLimit);
        }
    }
}

TEST(QuickSortOfDifferences, FlowLineAsTheSortWritesIt) {
    test::TempFolder folder;
    AnalysisState state;
    state.FlowRecord = true;
    state.FlowFile = std::make_unique<FlowRecordFile>(folder / "flow.txt");
    const std::vector<double> x{3, 4}, y{1, 2};
    std::vector<double> out(1);
    const std::vector<std::int64_t> first{1};
    state.SortCount = 1;
    QuickSort(state, state, state);
    QuickSortOfDifferences(state, state, state, Differences(x, y, false), first, out);
    // The sort-and-count utility keeps its own record of what ran.
    state.SortUtilityUsed = true;
    QuickSort(state, state, state);
    QuickSortOfDifferences(state, state, state, Differences(x, y, false), first, out);
    state.FlowFile.reset();
    EXPECT_EQ(test::ReadAll(folder / "flow.txt"), test::CrLf({"Sub QuickSort", "Sub QuickSort"}));
}

TEST(QuickSortOfDifferences, RefusesListsItCannotHold) {
    AnalysisState state;
    const std::vector<double> empty, some{1, 2};
    std::vector<double> out(1);
    const std::vector<std::int64_t> first{1}, beyond{5};
    EXPECT_THROW(QuickSortOfDifferences(state, state, state, {empty, some, false, 0}, first, out),
                 RunStopped);
    EXPECT_THROW(QuickSortOfDifferences(state, state, state, {some, some, false, 0}, beyond, out),
                 RunStopped);
    EXPECT_EQ(state.SortGroupLimit, 0);
}

}  // namespace
}  // namespace vortel
