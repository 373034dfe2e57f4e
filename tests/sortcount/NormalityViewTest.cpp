#include <gtest/gtest.h>

#include "sortcount/NormalityView.h"

namespace vortel {
namespace {

// The classes of the values 3, 5, 3, 4, 5, 5: mean 25/6, SD sqrt(29/30).
const std::vector<FrequencyClass> Ages = {{3, 2}, {4, 1}, {5, 3}};

TEST(NormalityView, ProbitPointsAndNormalLineOfAWorkedExample) {
    const NormalityData d = MakeNormalityData(Ages, "Cotesia", "Age");
    EXPECT_EQ(d.Title, "Cumulative frequency");
    EXPECT_EQ(d.Caption, "Cumu. Freq. of Cotesia in Probit");
    EXPECT_EQ(d.VariableName, "Age");
    EXPECT_EQ(d.Total, 6);

    // The last class reaches 1, which has no place on a probit axis.
    ASSERT_EQ(d.Points.size(), 2u);
    EXPECT_EQ(d.Points[0].Value, 3);
    EXPECT_DOUBLE_EQ(d.Points[0].CumulativeFraction, 1.0 / 3);
    EXPECT_NEAR(d.Points[0].Probit, -0.43072729929545744, 1e-12);
    EXPECT_DOUBLE_EQ(d.Points[1].CumulativeFraction, 0.5);
    EXPECT_NEAR(d.Points[1].Probit, 0, 1e-12);

    ASSERT_TRUE(d.HasNormalLine);
    EXPECT_NEAR(d.Mean, 4.1666666666666667, 1e-12);
    EXPECT_NEAR(d.StandardDeviation, 0.983192080250175, 1e-12);
    EXPECT_EQ(d.LineStart.Value, 3);
    EXPECT_NEAR(d.LineStart.Probit, -1.1866111313364185, 1e-12);
    EXPECT_EQ(d.LineEnd.Value, 5);
    EXPECT_NEAR(d.LineEnd.Probit, 0.8475793795260127, 1e-12);
}

TEST(NormalityView, FewOrNoValuesDrawWithoutALine) {
    const std::vector<FrequencyClass> one = {{2.5, 4}};
    const NormalityData single = MakeNormalityData(one, "T", "V");
    EXPECT_TRUE(single.Points.empty());
    EXPECT_FALSE(single.HasNormalLine);
    ASSERT_EQ(single.Histogram.size(), 1u);
    EXPECT_LT(single.Histogram[0].Lower, 2.5);
    EXPECT_GT(single.Histogram[0].Upper, 2.5);

    const NormalityData none = MakeNormalityData(std::vector<FrequencyClass>{}, "T", "V");
    EXPECT_TRUE(none.Points.empty());
    EXPECT_TRUE(none.Histogram.empty());
    EXPECT_FALSE(none.HasNormalLine);
}

TEST(NormalityView, FewClassesGetOneBarEach) {
    const auto bars = HistogramBars(Ages);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_DOUBLE_EQ(bars[0].Lower, 2.6);
    EXPECT_DOUBLE_EQ(bars[0].Upper, 3.4);
    EXPECT_EQ(bars[0].Count, 2);
    EXPECT_DOUBLE_EQ(bars[2].Lower, 4.6);
    EXPECT_EQ(bars[2].Count, 3);
}

TEST(NormalityView, ManyClassesAreBinnedWithoutLosingValues) {
    struct Case {
        int classes;
        double countEach;
        std::size_t bins;
    };
    const Case cases[] = {
        {1200, 1, 22},        // 2 * cbrt(1200) = 21.3
        {216, 1, 12},         // 2 * cbrt(216) = 12 exactly, not 12 and an ulp
        {60, 1, 10},          // at least ten bins
        {100, 40'000, 60},    // at most sixty
        {51, 1'000'000, 51},  // never more bins than classes
    };
    for (const auto& c : cases) {
        std::vector<FrequencyClass> classes;
        for (int g = 1; g <= c.classes; ++g) classes.push_back({0.5 * g, c.countEach});
        const auto bars = HistogramBars(classes);
        ASSERT_EQ(bars.size(), c.bins) << c.classes;
        double total = 0;
        for (std::size_t b = 0; b < bars.size(); ++b) {
            total += bars[b].Count;
            if (b > 0) {
                EXPECT_EQ(bars[b].Lower, bars[b - 1].Upper);
            }
        }
        EXPECT_EQ(total, c.classes * c.countEach);
        EXPECT_EQ(bars.front().Lower, 0.5);
        EXPECT_EQ(bars.back().Upper, 0.5 * c.classes);
    }
}

TEST(NormalityView, TicksFallOnRoundStepsWithTheDecimalsTheyNeed) {
    struct Case {
        double span, count, step;
        int decimals;
    };
    const Case cases[] = {
        {1, 5, 0.2, 1},         // 0.2 a step
        {0.0123, 5, 0.002, 3},  // 2.46e-3 a step rounds down to 2e-3
        {3.2, 5, 0.5, 1},       // 0.64: a mantissa of 6.4 rounds to 5
        {8000, 5, 2000, 0},     // 1600: 2 times a thousand
        {0.9, 10, 0.1, 1},      // 0.09 rounds up to a whole power
        {1, 1.2, 1, 0},         // an empty count axis: ticks 0 and 1 only
        {0, 5, 0, 0},           // no span, no ticks
    };
    for (const auto& c : cases) {
        const double step = NiceTickStep(c.span, c.count);
        EXPECT_NEAR(step, c.step, c.step * 1e-12) << c.span;
        EXPECT_EQ(TickDecimals(step), c.decimals) << c.span;
    }
}

}  // namespace
}  // namespace vortel
