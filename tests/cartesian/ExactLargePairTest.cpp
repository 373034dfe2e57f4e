// The exact path of a pair past the value lists, checked against every difference formed and
// sorted, against the partitioned sort's path on pairs within the lists, and at the boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CartesianFixture.h"
#include "cartesian/ExactLargePair.h"
#include "cartesian/ExactPairPath.h"
#include "cartesian/PairComparisons.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"
#include "shell/mainwindow/CommandQuestions.h"

namespace vortel {
namespace {

using test::LoadTreatments;
using test::TestRun;
using test::Treatment;

// Bootstrap-like values about `mean`; with `ties`, rounded to fiftieths (k / 50), so that many
// differences are equal and many more round to the same double from different exact values.
std::vector<double> Values(std::size_t count, double mean, double sd, bool ties,
                           std::uint64_t seed) {
    std::mt19937_64 engine(seed);
    std::normal_distribution<double> normal(mean, sd);
    std::vector<double> v(count);
    for (double& x : v) x = ties ? std::round(normal(engine) * 50) / 50 : normal(engine);
    return v;
}

// Every difference x - y (y - x when negated) formed by the loop and sorted.
std::vector<double> AllDifferences(const std::vector<double>& x, const std::vector<double>& y,
                                   bool negate) {
    std::vector<double> d;
    d.reserve(x.size() * y.size());
    for (const double a : x)
        for (const double b : y) d.push_back(negate ? b - a : a - b);
    std::sort(d.begin(), d.end());
    return d;
}

// The mean and variance of the exact differences, in 113-bit arithmetic.
struct Moments {
    double Mean, Variance, SD;
};
Moments ExactMoments(const std::vector<double>& x, const std::vector<double>& y, bool negate) {
    __float128 sx = 0, sy = 0;
    for (const double v : x) sx += v;
    for (const double v : y) sy += v;
    const __float128 mx = sx / x.size(), my = sy / y.size();
    __float128 ssx = 0, ssy = 0;
    for (const double v : x) ssx += (v - mx) * (v - mx);
    for (const double v : y) ssy += (v - my) * (v - my);
    const __float128 c = static_cast<__float128>(x.size()) * y.size();
    const __float128 mean = negate ? my - mx : mx - my;
    const __float128 variance = (ssx * y.size() + ssy * x.size()) / (c - 1);
    // The root by one Newton step from the double root, which doubles its digits.
    const __float128 root = std::sqrt(static_cast<double>(variance));
    const __float128 sd = root + (variance - root * root) / (2 * root);
    return {static_cast<double>(mean), static_cast<double>(variance), static_cast<double>(sd)};
}

struct Pair {
    const char* label;
    std::size_t bx, by;
    double meanX, meanY, sd;
    bool ties;
};

// The pairs just past the lists, unequal B, and tie-heavy fiftieths.
const Pair PastTheListsPairs[] = {
    {"2001 x 2000", 2001, 2000, 0.230, 0.226, 0.005, false},
    {"2001 x 2001 fiftieths", 2001, 2001, 3.0, 2.9, 0.2, true},
    {"2 x 2000003", 2, 2'000'003, 1.0, 0.5, 0.4, false},
    {"2003 x 1999 fiftieths, equal means", 2003, 1999, 1.0, 1.0, 0.1, true},
};

TEST(ExactLargePair, AgreesWithEveryDifferenceFormedAndSorted) {
    for (const Pair& pair : PastTheListsPairs) {
        SCOPED_TRACE(pair.label);
        const auto x = Values(pair.bx, pair.meanX, pair.sd, pair.ties, 1);
        const auto y = Values(pair.by, pair.meanY, pair.sd, pair.ties, 2);
        const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
        for (const bool negate : {false, true}) {
            SCOPED_TRACE(negate ? "y - x" : "x - y");
            const std::vector<double> d = AllDifferences(x, y, negate);
            const auto c = static_cast<double>(d.size());
            ASSERT_TRUE(PastTheLists(c));
            const double meanDifference = std::fabs(pair.meanX - pair.meanY);
            const std::int64_t lower = PercentileRank(c, 0.025), upper = PercentileRank(c, 0.975);
            SelectionSpace space;
            const ExactPairResults r =
                ExactPairStatistics(sx, sy, negate, meanDifference, lower, upper, space);

            const PairTally tally = TallyDifferences(x, y, negate, meanDifference);
            EXPECT_EQ(r.Low, tally.Low);
            EXPECT_EQ(r.High, tally.High);
            EXPECT_EQ(r.Significant, tally.Significant);
            EXPECT_EQ(r.PercentileLower, d[static_cast<std::size_t>(lower - 1)]);
            EXPECT_EQ(r.PercentileUpper, d[static_cast<std::size_t>(upper - 1)]);

            // Other ranks, and counts about values that occur and values between them.
            for (const std::size_t at :
                 {std::size_t{0}, d.size() / 3, d.size() / 2, d.size() - 1}) {
                const auto rank = static_cast<std::int64_t>(at + 1);
                EXPECT_EQ(DifferenceAtRank(sx.Values, sy.Values, negate, rank), d[at]) << rank;
                const double v = d[at];
                const auto below = std::lower_bound(d.begin(), d.end(), v) - d.begin();
                const auto atMost = std::upper_bound(d.begin(), d.end(), v) - d.begin();
                const auto& minuend = negate ? sy.Values : sx.Values;
                const auto& subtrahend = negate ? sx.Values : sy.Values;
                EXPECT_EQ(CountDifferencesBelow(minuend, subtrahend, v), below);
                EXPECT_EQ(CountDifferencesAtMost(minuend, subtrahend, v), atMost);
            }

            // Mean and variance of the exact differences, to the last printed digit.
            const Moments exact = ExactMoments(x, y, negate);
            EXPECT_EQ(NumberText(r.Mean), NumberText(exact.Mean));
            EXPECT_EQ(NumberText(r.Variance), NumberText(exact.Variance));
            EXPECT_EQ(NumberText(r.SD), NumberText(exact.SD));
        }
    }
}

// The exact path's results for the pair (i, j) of a test run, computed alone from its values.
ExactPairResults ComputedAlone(const AnalysisState& s, const std::vector<double>& x,
                               const std::vector<double>& y, std::int16_t i, std::int16_t j) {
    const double c = static_cast<double>(x.size() * y.size());
    SelectionSpace space;
    return ExactPairStatistics(SortedSample::From(x), SortedSample::From(y),
                               !(s.BootstrapMean(i) > s.BootstrapMean(j)),
                               std::fabs(s.BootstrapMean(i) - s.BootstrapMean(j)),
                               PercentileRank(c, 0.025), PercentileRank(c, 0.975), space);
}

// Within the lists the two paths see the same differences: counts and percentile limits agree
// exactly, mean and variance up to the rounding of the loop's running sums.
TEST(ExactLargePair, AgreesWithThePartitionedSortWithinTheLists) {
    struct Case {
        const char* label;
        std::size_t b1, b2, b3;
        bool ties;
    };
    const Case cases[] = {{"2000, 1999, 37", 2000, 1999, 37, false},
                          {"fiftieths 1500, 2000, 2", 1500, 2000, 2, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        const std::vector<Treatment> treatments = {{"A", Values(k.b1, 2.00, 0.3, k.ties, 3)},
                                                   {"B", Values(k.b2, 2.05, 0.3, k.ties, 4)},
                                                   {"C", Values(k.b3, 1.90, 0.3, k.ties, 5)}};
        TestRun r;
        LoadTreatments(r.state, treatments);
        r.ui.Type("1");
        CartesianDifference2(r.state, r.services);
        const AnalysisState& s = r.state;
        for (std::int16_t i = 1; i <= 3; ++i) {
            for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= 3; ++j) {
                SCOPED_TRACE(std::to_string(i) + " with " + std::to_string(j));
                const auto& x = treatments[static_cast<std::size_t>(i - 1)].Values;
                const auto& y = treatments[static_cast<std::size_t>(j - 1)].Values;
                const double c = static_cast<double>(x.size() * y.size());
                ASSERT_FALSE(PastTheLists(c));
                const ExactPairResults e = ComputedAlone(s, x, y, i, j);
                EXPECT_EQ(e.Low, s.LowCount(i, j));
                EXPECT_EQ(e.High, s.HighCount(i, j));
                EXPECT_EQ(e.Significant, s.SignificantCount(i, j));
                EXPECT_EQ(e.PercentileLower, s.PercentileLower(i, j));
                EXPECT_EQ(e.PercentileUpper, s.PercentileUpper(i, j));
                EXPECT_NEAR(e.Mean, s.CartesianMean(i, j), 1e-12);
                // The loop's (sum of squares - sum^2 / C) cancels a few of its digits away.
                EXPECT_NEAR(e.Variance, s.CartesianVariance(i, j), 1e-10 * e.Variance);
            }
        }
    }
}

// C = 4,000,005 still goes through the partitioned sort; one more difference takes the exact
// path, which leaves the sort's fields and its run-wide group limit as they were.
TEST(ExactLargePair, BoundaryBetweenThePaths) {
    struct Case {
        std::size_t b1, b2;
        bool sorted;
    };
    for (const Case& k : {Case{1545, 2589, true}, Case{2, 2'000'003, false}}) {
        SCOPED_TRACE(std::to_string(k.b1) + " x " + std::to_string(k.b2));
        const std::vector<Treatment> treatments = {{"A", Values(k.b1, 1.2, 0.3, false, 6)},
                                                   {"B", Values(k.b2, 1.0, 0.3, false, 7)}};
        TestRun r;
        LoadTreatments(r.state, treatments);
        r.ui.Type("1");
        CartesianDifference2(r.state, r.services);
        const AnalysisState& s = r.state;
        EXPECT_EQ(s.SortCount, k.sorted ? static_cast<std::int32_t>(k.b1 * k.b2) : 0);
        EXPECT_EQ(s.SortGroupLimitSet, k.sorted);
        EXPECT_EQ(s.CartesianIndex, static_cast<std::int64_t>(k.b1 * k.b2));

        const bool negate = !(s.BootstrapMean(1) > s.BootstrapMean(2));
        const std::vector<double> d =
            AllDifferences(treatments[0].Values, treatments[1].Values, negate);
        const double c = static_cast<double>(d.size());
        EXPECT_EQ(s.PercentileLower(1, 2),
                  d[static_cast<std::size_t>(PercentileRank(c, 0.025) - 1)]);
        EXPECT_EQ(s.PercentileUpper(1, 2),
                  d[static_cast<std::size_t>(PercentileRank(c, 0.975) - 1)]);
        EXPECT_EQ(s.InsignificantCount(1, 2) + s.SignificantCount(1, 2),
                  static_cast<std::int64_t>(d.size()));
        EXPECT_EQ(s.PValue(1, 2), static_cast<double>(s.InsignificantCount(1, 2)) / c);
        EXPECT_EQ(s.TLower(1, 2), s.CartesianMean(1, 2) - 1.959964 * s.CartesianSD(1, 2));
    }
}

// The pairs past the lists, and the passes over the differences of those within them, are
// computed side by side on worker threads while the loop sorts: each must leave exactly what
// computing it alone leaves, in its own place.
TEST(ExactLargePair, PairsComputedSideBySideMatchEachComputedAlone) {
    const std::vector<Treatment> treatments = {{"A", Values(2001, 0.230, 0.005, false, 10)},
                                               {"B", Values(2002, 0.226, 0.006, false, 11)},
                                               {"C", Values(37, 0.228, 0.005, false, 12)},
                                               {"D", Values(2003, 0.231, 0.004, true, 13)},
                                               {"E", Values(2004, 0.229, 0.005, false, 14)}};
    TestRun r;
    LoadTreatments(r.state, treatments);
    r.ui.Type("1");
    CartesianDifference2(r.state, r.services);
    const AnalysisState& s = r.state;
    int pastTheLists = 0;
    for (std::int16_t i = 1; i <= 5; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= 5; ++j) {
            const auto& x = treatments[static_cast<std::size_t>(i - 1)].Values;
            const auto& y = treatments[static_cast<std::size_t>(j - 1)].Values;
            const double c = static_cast<double>(x.size() * y.size());
            SCOPED_TRACE(std::to_string(i) + " with " + std::to_string(j));
            if (!PastTheLists(c)) {
                const PairTally t =
                    TallyDifferences(x, y, !(s.BootstrapMean(i) > s.BootstrapMean(j)),
                                     std::fabs(s.BootstrapMean(i) - s.BootstrapMean(j)));
                EXPECT_EQ(t.Low, s.LowCount(i, j));
                EXPECT_EQ(t.Significant, s.SignificantCount(i, j));
                EXPECT_EQ(t.Sum / c, s.CartesianMean(i, j));
                continue;
            }
            ++pastTheLists;
            const ExactPairResults e = ComputedAlone(s, x, y, i, j);
            EXPECT_EQ(e.Low, s.LowCount(i, j));
            EXPECT_EQ(e.High, s.HighCount(i, j));
            EXPECT_EQ(e.PercentileLower, s.PercentileLower(i, j));
            EXPECT_EQ(e.PercentileUpper, s.PercentileUpper(i, j));
            EXPECT_EQ(e.Mean, s.CartesianMean(i, j));
            EXPECT_EQ(e.SD, s.CartesianSD(i, j));
        }
    }
    EXPECT_EQ(pastTheLists, 6);
}

// A stop reaches the exact path inside a pair: the sort of a sample between its passes, the
// selection before a walk, and the workers of a whole test, which leave nothing behind.
TEST(ExactLargePair, AStopEndsTheSortTheSelectionAndTheWorkers) {
    StopToken stop;
    stop.Request();
    const std::vector<double> x = Values(5000, 0.230, 0.005, false, 20);
    const std::vector<double> y = Values(5000, 0.226, 0.005, false, 21);
    EXPECT_THROW(SortedSample::From(x, &stop), CommandStopped);
    const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
    SelectionSpace space;
    space.Stop = &stop;
    EXPECT_THROW(ExactPairStatistics(sx, sy, false, 0.004, 625'000, 24'375'000, space),
                 CommandStopped);

    // Stopped as the first pair starts, with every pair past the lists given to the workers.
    struct StopAtFirstPair final : TestEvents {
        StopToken& token;
        explicit StopAtFirstPair(StopToken& t) : token(t) {}
        void PairStarted(int, int, PairPhase) override { token.Request(); }
    };
    TestRun r;
    StopToken token;
    StopAtFirstPair events(token);
    r.services.events = &events;
    r.services.stop = &token;
    LoadTreatments(r.state, {{"A", Values(2001, 0.230, 0.005, false, 10)},
                             {"B", Values(2002, 0.226, 0.006, false, 11)},
                             {"C", Values(2003, 0.231, 0.004, true, 13)}});
    r.ui.Type("1");
    EXPECT_THROW(CartesianDifference2(r.state, r.services), CommandStopped);
    EXPECT_TRUE(r.folder.Files().empty());
}

// Detail files hold one record per difference: past the lists a batch run is refused before
// anything is written, and the window says so and runs the test without them.
TEST(ExactLargePair, DetailFilesPastTheListsAreRefusedOrLeftOut) {
    const std::vector<Treatment> treatments = {{"Tomato", Values(2001, 0.23, 0.005, false, 8)},
                                               {"Pepper", Values(2000, 0.22, 0.005, false, 9)}};
    for (const bool required : {true, false}) {
        SCOPED_TRACE(required ? "batch" : "window");
        TestRun r;
        LoadTreatments(r.state, treatments);
        r.state.DetailedDifferences = true;
        r.state.DetailFilesRequired = required;
        r.ui.Type("1");
        if (required) {
            try {
                CartesianDifference2(r.state, r.services);
                ADD_FAILURE() << "not refused";
            } catch (const RunStopped& e) {
                const std::string message = e.what();
                for (const char* part :
                     {"treatment 1 (\"Tomato\")", "treatment 2 (\"Pepper\")",
                      "4002000 Cartesian differences", "about 0.4 GB", "at most 4000005"})
                    EXPECT_NE(message.find(part), std::string::npos) << message;
                EXPECT_EQ(message.find('\n'), std::string::npos);
            }
            EXPECT_TRUE(r.folder.Files().empty());
            EXPECT_EQ(r.state.TestBeganText, "");
        } else {
            CartesianDifference2(r.state, r.services);
            const auto notices = r.ui.Notices();
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_NE(notices[0].find("4002000 Cartesian differences"), std::string::npos);
            EXPECT_NE(notices[0].find("runs without detail files"), std::string::npos);
            EXPECT_FALSE(r.state.DetailedDifferences);
            const auto files = r.folder.Files();
            ASSERT_EQ(files.size(), 1u);  // the report alone
            EXPECT_NE(files[0].find("results-r_"), std::string::npos);
        }
    }
}

TEST(ExactLargePair, DetailFileSizeCountsDigitsAndSeparators) {
    // 9 one-digit serials and 1 two-digit one, four records each with a 17-digit difference.
    EXPECT_EQ(DetailFileBytes(10), 4 * 11 + 4 * 10 * 20);
    EXPECT_NEAR(DetailFileBytes(4'002'000) / 1e9, 0.4, 0.05);
}

// Samples whose thinned copies mislead: a skewed one against a mixture with a tight cluster
// far out, so that the cuts taken from the thinned matrix miss and the search must widen them or
// fall back to its draws, and every rank must still come out exact.
TEST(ExactLargePair, MisleadingSamplesStillGiveEveryRankExactly) {
    std::mt19937_64 engine(5);
    std::normal_distribution<double> normal;
    std::vector<double> x(2100), y(1990);
    for (double& v : x) v = std::exp(2 * normal(engine));
    for (std::size_t k = 0; k < y.size(); ++k)
        y[k] = k % 10 == 0 ? 50 + normal(engine) * 1e-9 : normal(engine);
    const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
    for (const bool negate : {false, true}) {
        const std::vector<double> d = AllDifferences(x, y, negate);
        std::uniform_int_distribution<std::size_t> anywhere(0, d.size() - 1);
        std::vector<std::size_t> ats{
            0, d.size() / 40, d.size() / 10, d.size() / 2, d.size() - d.size() / 40, d.size() - 1};
        for (int k = 0; k < 6; ++k) ats.push_back(anywhere(engine));
        for (const std::size_t at : ats)
            EXPECT_EQ(
                DifferenceAtRank(sx.Values, sy.Values, negate, static_cast<std::int64_t>(at + 1)),
                d[at])
                << at + 1 << (negate ? " y - x" : " x - y");
    }
}

// Few distinct values, in samples whose lengths are not multiples of eight: the thinned copies
// average runs of seven and of eight equal values, whose means can round apart out of order.
// Each search must still settle, on the exact difference.
TEST(ExactLargePair, FewDistinctValuesInUnevenRunsSettleExactly) {
    for (const std::uint64_t seed : {1, 2, 3}) {
        std::mt19937_64 engine(seed);
        std::uniform_int_distribution<int> level(1, 3);
        std::vector<double> x(2001), y(2007);
        for (double& v : x) v = 0.1 * level(engine);
        for (double& v : y) v = 0.1 * level(engine) / 3;
        const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
        const std::vector<double> d = AllDifferences(x, y, false);
        for (const std::size_t at : {d.size() / 40, d.size() / 3, d.size() - d.size() / 40})
            EXPECT_EQ(
                DifferenceAtRank(sx.Values, sy.Values, false, static_cast<std::int64_t>(at + 1)),
                d[at])
                << "seed " << seed << ", rank " << at + 1;
    }
}

// Only two distinct differences, 0 and 1, each 4.5 million times: no draw can split the band
// between them, and the search must still take both out and settle.
TEST(ExactLargePair, TwoDifferencesMillionsOfTimesEach) {
    std::vector<double> x(3000), y(3000, 0.0);
    for (std::size_t k = 0; k < x.size(); ++k) x[k] = static_cast<double>(k % 2);
    const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
    const struct {
        std::int64_t rank;
        double value;
    } cases[] = {{1, 0}, {4'500'000, 0}, {4'500'001, 1}, {9'000'000, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(DifferenceAtRank(sx.Values, sy.Values, false, c.rank), c.value) << c.rank;
    EXPECT_EQ(CountDifferencesAtMost(sx.Values, sy.Values, 0), 4'500'000);
}

TEST(ExactLargePair, RanksOutsideTheDifferencesAreRefused) {
    const std::vector<double> x{1, 2}, y{0.5};
    for (const std::int64_t rank : {std::int64_t{0}, std::int64_t{3}})
        EXPECT_THROW(DifferenceAtRank(x, y, false, rank), RunStopped) << rank;
    EXPECT_EQ(DifferenceAtRank(x, y, true, 1), -1.5);
}

// Samples the walks cannot count: each stops with a message naming the value at fault, where
// a NaN would leave the sort undefined and an infinity a NaN difference.
TEST(ExactLargePair, ValuesNotFiniteOrOutOfOrderAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::vector<double> values;
        const char* message;
        bool sortable;  // SortedSample::From takes it
    } cases[] = {
        {{1, nan, 3}, "Value 2 of a sample is nan", false},
        {{1, 2, inf}, "Value 3 of a sample is inf", false},
        {{1, 3, 2}, "Value 3 of a sample is below the one before", true},
    };
    const std::vector<double> y{0.5, 1};
    for (const auto& c : cases) {
        try {
            DifferenceAtRank(c.values, y, false, 1);
            ADD_FAILURE() << c.message;
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        if (c.sortable)
            EXPECT_NO_THROW(SortedSample::From(c.values)) << c.message;
        else
            EXPECT_THROW(SortedSample::From(c.values), RunStopped) << c.message;
    }
}

}  // namespace
}  // namespace vortel
