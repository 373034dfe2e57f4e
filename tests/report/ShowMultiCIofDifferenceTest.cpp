// The comparison grid's cell texts.
#include <gtest/gtest.h>

#include <cmath>

#include "report/ShowMultiCIofDifference.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/lifetabl.h"

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
        AnalysisState state;
        state.TreatmentCount = 2;
        state.TreatmentName(1) = "A";
        state.TreatmentName(2) = "B";
        state.MeanDifference(1, 2) = state.MeanDifference(2, 1) = 0.12345;
        state.PValue(1, 2) = state.PValue(2, 1) = c.p;
        state.TLower(1, 2) = c.tLower;
        HeadlessWindow window;
        ShowMultiCIofDifference(state, window);
        const std::vector<std::vector<std::string>> expected = {
            {"", "A", "B"}, {"A", " ----", " .123"}, {"B", c.lowerLeft, " ----"}};
        EXPECT_EQ(window.Grid(), expected) << c.lowerLeft;
        EXPECT_EQ(window.GridColumnWidths(), (std::vector<int>{500, 500, 500}));
    }
}

TEST(ShowMultiCIofDifference, FiveTreatmentsReadPValueAndTLowerOfTheOrderedPair) {
    AnalysisState state;
    state.TreatmentCount = 5;
    for (int k = 1; k <= 5; ++k)
        state.TreatmentName(k) = std::string(1, static_cast<char>('A' + k - 1));
    for (int i = 1; i <= 5; ++i) {
        for (int j = i + 1; j <= 5; ++j) {
            state.MeanDifference(i, j) = state.MeanDifference(j, i) = 10 * i + j;
            state.PValue(i, j) = state.PValue(j, i) = (10 * i + j) / 1000.0;
            state.TLower(i, j) = j == 5 ? 1 : -1;
            state.TLower(j, i) = j == 5 ? -1 : 1;  // never read
        }
    }
    HeadlessWindow window;
    ShowMultiCIofDifference(state, window);
    const auto& g = window.Grid();
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(g[0], (std::vector<std::string>{"", "A", "B", "C", "D", "E"}));
    EXPECT_EQ(g[2], (std::vector<std::string>{"B", " .012", " ----", " 23", " 24", " 25"}));
    EXPECT_EQ(g[5],
              (std::vector<std::string>{"E", " .015*", " .025*", " .035*", " .045*", " ----"}));
    EXPECT_EQ(g[4][3], " .034");
}

}  // namespace
}  // namespace vortel
