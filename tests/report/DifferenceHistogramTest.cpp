// Histogram counts of a pair's differences, checked against forming and counting every
// difference.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "report/DifferenceHistogram.h"
#include "shell/state/AnalysisState.h"

namespace vortel {
namespace {

// The reference: every difference formed, sorted, and counted into the bins by binary search.
std::vector<std::int64_t> CountedOneByOne(const std::vector<double>& larger,
                                          const std::vector<double>& smaller,
                                          const std::vector<double>& edges) {
    std::vector<double> d;
    for (double x : larger)
        for (double y : smaller) d.push_back(x - y);
    std::sort(d.begin(), d.end());
    std::vector<std::int64_t> counts;
    for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
        const auto from = std::lower_bound(d.begin(), d.end(), edges[k]);
        const auto to =
            k + 2 < edges.size() ? std::lower_bound(d.begin(), d.end(), edges[k + 1]) : d.end();
        counts.push_back(to - from);
    }
    return counts;
}

TEST(DifferenceHistogram, CountsEveryDifferenceOnce) {
    std::mt19937 engine(7);
    std::normal_distribution<double> first(0.23, 0.006), second(0.221, 0.007);
    struct Case {
        std::vector<double> larger, smaller;
        int bins;
    };
    std::vector<Case> cases = {
        // Differences 2, 1, 3, 2: two land on an inner edge.
        {{3, 4}, {1, 2}, 4},
        // Ties and a difference on every edge of 0.5-wide bins.
        {{1, 1, 2, 2.5, 4}, {0, 0, 0.5, 1}, 8},
        // Values whose differences round: 0.3 - 0.1 is not 0.2 in double.
        {{0.1, 0.2, 0.3, 0.7}, {0.1, 0.1, 0.2}, 6},
        {{}, {}, 50},
    };
    for (int k = 0; k < 300; ++k) cases.back().larger.push_back(first(engine));
    for (int k = 0; k < 200; ++k) cases.back().smaller.push_back(second(engine));
    for (Case& c : cases) {
        std::sort(c.larger.begin(), c.larger.end());
        std::sort(c.smaller.begin(), c.smaller.end());
        const DifferenceHistogram h = HistogramOfDifferences(c.larger, c.smaller, c.bins);
        ASSERT_EQ(h.Edges.size(), static_cast<std::size_t>(c.bins) + 1);
        ASSERT_EQ(h.Counts.size(), static_cast<std::size_t>(c.bins));
        EXPECT_EQ(h.Edges.front(), c.larger.front() - c.smaller.back());
        EXPECT_EQ(h.Edges.back(), c.larger.back() - c.smaller.front());
        EXPECT_EQ(h.Counts, CountedOneByOne(c.larger, c.smaller, h.Edges)) << c.larger.size();
        EXPECT_EQ(std::accumulate(h.Counts.begin(), h.Counts.end(), std::int64_t{0}),
                  static_cast<std::int64_t>(c.larger.size() * c.smaller.size()));
    }
}

TEST(DifferenceHistogram, SmallPairByHand) {
    // Differences 2, 1, 3, 2 in bins [1, 1.5), [1.5, 2), [2, 2.5), [2.5, 3].
    const std::vector<double> larger{3, 4}, smaller{1, 2};
    const DifferenceHistogram h = HistogramOfDifferences(larger, smaller, 4);
    EXPECT_EQ(h.Edges, (std::vector<double>{1, 1.5, 2, 2.5, 3}));
    EXPECT_EQ(h.Counts, (std::vector<std::int64_t>{1, 0, 2, 1}));
    EXPECT_EQ(CountDifferencesBelow(larger, smaller, 2), 1);
    EXPECT_EQ(CountDifferencesBelow(larger, smaller, 2.0001), 3);
    EXPECT_EQ(CountDifferencesBelow(larger, smaller, 100), 4);
    EXPECT_EQ(CountDifferencesBelow(larger, smaller, 1), 0);
}

TEST(DifferenceHistogram, EqualDifferencesFillOneBin) {
    const std::vector<double> larger{5, 5, 5}, smaller{2, 2};
    const DifferenceHistogram h = HistogramOfDifferences(larger, smaller);
    EXPECT_EQ(h.Edges, (std::vector<double>{3, 3}));
    EXPECT_EQ(h.Counts, (std::vector<std::int64_t>{6}));
}

// Pairs in report order, each the way the test took its differences: equal means give the
// later treatment first.
TEST(DifferenceHistogram, PairsOfTheStateInReportOrder) {
    AnalysisState state;
    state.TreatmentCount = 3;
    const char* names[] = {"", "A", "B", "C"};
    const std::vector<double> values[] = {{}, {1, 3}, {2, 4}, {2, 2}};
    const double means[] = {0, 2, 3, 2};
    for (int t = 1; t <= 3; ++t) {
        state.TreatmentName(t) = names[t];
        state.BootstrapNumber(t) = 2;
        state.BootstrapMean(t) = means[t];
        for (int k = 1; k <= 2; ++k) state.WorkingValues(k, t) = values[t][k - 1];
    }
    state.PValue(1, 3) = 0.5;
    state.TLower(2, 3) = -1;
    const auto pairs = DifferencesOfPairs(state, state, state, 2);
    ASSERT_EQ(pairs.size(), 3u);
    const std::pair<std::string, std::string> order[] = {{"B", "A"}, {"C", "A"}, {"B", "C"}};
    for (std::size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(pairs[p].Minuend, order[p].first) << p;
        EXPECT_EQ(pairs[p].Subtrahend, order[p].second) << p;
    }
    EXPECT_EQ(pairs[1].P, 0.5);
    EXPECT_EQ(pairs[2].TLower, -1);
    // C - A: 1, 1, -1, -1.
    EXPECT_EQ(pairs[1].Histogram.Edges, (std::vector<double>{-1, 0, 1}));
    EXPECT_EQ(pairs[1].Histogram.Counts, (std::vector<std::int64_t>{2, 2}));
}

}  // namespace
}  // namespace vortel
