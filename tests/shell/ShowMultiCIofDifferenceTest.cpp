// The comparison grid's cell texts.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/base/RunStopped.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/mainwindow/ShowMultiCIofDifference.h"

namespace vortel {
namespace {

TEST(ShowMultiCIofDifference, MeanDifferenceCellRounding) {
    const std::pair<double, const char*> cases[] = {
        {0.12345, " .123"}, {0.0625, " .062"},  // halves go to the even neighbour
        {0.9996, " 1"},     {1, " 1"},         {1.125, " 1.12"},  {100, " 100"},
        {100.6, " 101"},    {0, " 0"},         {2500.5, " 2500"}, {std::nan(""), " NAN"},
    };
    for (const auto& [m, text] : cases) EXPECT_EQ(MeanDifferenceCellText(m), text) << m;
    EXPECT_THROW(MeanDifferenceCellText(3e9), RunStopped);
}

// A result of treatments A, B, ... with these bootstrap means and every pair's P and lower t
// limit given by `pair`.
template <class PairValues>
CartesianResult ResultOf(const std::vector<double>& means, PairValues pair) {
    CartesianResult r;
    const int n = static_cast<int>(means.size());
    for (int k = 1; k <= n; ++k) {
        TreatmentResult t;
        t.Name = std::string(1, static_cast<char>('A' + k - 1));
        t.BootstrapMean = means[static_cast<std::size_t>(k - 1)];
        r.Treatments.push_back(t);
    }
    for (int i = 1; i < n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            PairResult p;
            p.I = i;
            p.J = j;
            pair(p);
            r.Pairs.push_back(p);
        }
    }
    return r;
}

TEST(ShowMultiCIofDifference, TwoTreatmentsFillAThreeByThreeGrid) {
    struct Case {
        double p, tLower;
        const char* lowerLeft;
    };
    const Case cases[] = {
        {0.00314, 0.2, " .0031*"},
        {0, 1e-9, " 0*"},
        {0.5, 0, " .5"},  // a t bound of exactly 0 gets no asterisk
    };
    for (const Case& c : cases) {
        const CartesianResult result = ResultOf({0.5, 0.37655}, [&](PairResult& p) {
            p.P = c.p;
            p.TLower = c.tLower;
        });
        HeadlessWindow window;
        ShowMultiCIofDifference(result, window);
        const std::vector<std::vector<std::string>> expected = {
            {"", "A", "B"}, {"A", " ----", " .123"}, {"B", c.lowerLeft, " ----"}};
        EXPECT_EQ(window.Grid(), expected) << c.lowerLeft;
        EXPECT_EQ(window.GridColumnWidths(), (std::vector<int>{500, 500, 500}));
    }
}

// Above the diagonal the gap of the two means, below it P of the pair (j, i) and its t limit.
TEST(ShowMultiCIofDifference, FiveTreatmentsReadPValueAndTLowerOfTheOrderedPair) {
    const CartesianResult result = ResultOf({90, 78, 55, 31, 6}, [](PairResult& p) {
        p.P = (10 * p.I + p.J) / 1000.0;
        p.TLower = p.J == 5 ? 1 : -1;
    });
    HeadlessWindow window;
    ShowMultiCIofDifference(result, window);
    const auto& g = window.Grid();
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(g[0], (std::vector<std::string>{"", "A", "B", "C", "D", "E"}));
    EXPECT_EQ(g[2], (std::vector<std::string>{"B", " .012", " ----", " 23", " 47", " 72"}));
    EXPECT_EQ(g[5],
              (std::vector<std::string>{"E", " .015*", " .025*", " .035*", " .045*", " ----"}));
    EXPECT_EQ(g[4][3], " .034");
    EXPECT_EQ(g[1][5], " 84");
}

}  // namespace
}  // namespace vortel
