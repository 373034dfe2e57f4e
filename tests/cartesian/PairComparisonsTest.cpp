#include <gtest/gtest.h>

#include "CartesianFixture.h"
#include "cartesian/PairComparisons.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/state/FlowRecord.h"

namespace vortel {
namespace {

using test::LoadTreatments;
using test::TestRun;
using test::Treatment;

void RunTest(TestRun& r, const std::vector<Treatment>& treatments) {
    LoadTreatments(r.state, treatments);
    r.ui.Type("1");  // the report's file-name code
    CartesianDifference2(r.state, r.services);
}

// Hand-worked pairs: two values each (C = 4, ranks 1 and 4), or three against two (C = 6,
// ranks 1 and 6).
TEST(PairComparisons, PairResultsFromWorkedExamples) {
    struct Case {
        const char* label;
        std::vector<double> first, second;
        double mean, variance, lower, upper;
        std::int32_t low, high, significant;
        double p;
    };
    const Case cases[] = {
        // differences 2, 1, 3, 2: all inside (0, 4)
        {"3,4 vs 1,2", {3, 4}, {1, 2}, 2, 2.0 / 3, 1, 3, 0, 0, 4, 0},
        // differences 1, -1, 5, 3 against 2D = 4: one low, one high
        {"2,6 vs 1,3", {2, 6}, {1, 3}, 2, 20.0 / 3, -1, 5, 1, 1, 2, 0.5},
        // the smaller mean first: taken as second minus first, same results
        {"1,2 vs 3,4", {1, 2}, {3, 4}, 2, 2.0 / 3, 1, 3, 0, 0, 4, 0},
        // equal means: D = 0, every difference is at or below 0 or at or above 0
        {"1,3 vs 2,2", {1, 3}, {2, 2}, 0, 4.0 / 3, -1, 1, 2, 2, 0, 1},
        // differences 1, -3, 5, 1, 6, 2 against 2D = 4; sum 12, squares 76
        {"1,5,6 vs 0,4", {1, 5, 6}, {0, 4}, 2, 52.0 / 5, -3, 6, 1, 2, 3, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestRun r;
        RunTest(r, {{"A", c.first}, {"B", c.second}});
        const AnalysisState& s = r.state;
        EXPECT_DOUBLE_EQ(s.CartesianMean(1, 2), c.mean);
        EXPECT_DOUBLE_EQ(s.CartesianVariance(1, 2), c.variance);
        EXPECT_DOUBLE_EQ(s.CartesianSD(1, 2), std::sqrt(c.variance));
        EXPECT_EQ(s.PercentileLower(1, 2), c.lower);
        EXPECT_EQ(s.PercentileUpper(1, 2), c.upper);
        EXPECT_EQ(s.LowCount(1, 2), c.low);
        EXPECT_EQ(s.HighCount(1, 2), c.high);
        EXPECT_EQ(s.SignificantCount(1, 2), c.significant);
        EXPECT_EQ(s.InsignificantCount(1, 2), c.low + c.high);
        EXPECT_EQ(s.PValue(1, 2), c.p);
        EXPECT_EQ(s.PValue(2, 1), c.p);
    }
}

TEST(PairComparisons, TIntervalUsesTheNormalQuantile) {
    TestRun r;
    RunTest(r, {{"A", {3, 4}}, {"B", {1, 2}}});
    // 2 -/+ 1.959964 * sqrt(2/3)
    EXPECT_NEAR(r.state.TLower(1, 2), 0.399696095258570, 1e-12);
    EXPECT_NEAR(r.state.TUpper(1, 2), 3.600303904741430, 1e-12);
}

TEST(PairComparisons, TreatmentSummariesAndFValue) {
    TestRun r;
    RunTest(r, {{"A", {2, 6}, 5}, {"B", {1, 3}, 3}});
    const AnalysisState& s = r.state;
    EXPECT_EQ(s.BootstrapMean(1), 4);
    EXPECT_EQ(s.BootstrapMean(2), 2);
    EXPECT_EQ(s.BootstrapVariance(1), 8);
    EXPECT_EQ(s.BootstrapVariance(2), 2);
    EXPECT_DOUBLE_EQ(s.TreatmentSE(1), std::sqrt(8.0));
    EXPECT_EQ(s.EffectiveBootstrapNumber(1), 2);
    // between: (1*5 + 1*3) / 1 = 8; within: (4*8 + 2*2) / 6 = 6
    EXPECT_EQ(s.DfBetweenGroups, 1);
    EXPECT_EQ(s.DfWithinGroups, 6);
    EXPECT_DOUBLE_EQ(s.FValue, 8.0 / 6.0);
}

// A second test in one program run: counts start again from zero, and treatments without
// spread give F = 0 rather than the first test's F. Three times 0.3 leaves a variance from the
// sums of about 3E-17, which must not pass for spread, and nine equal differences a pair
// variance of about -7E-18, whose root must not become the SD.
TEST(PairComparisons, SecondTestOfRunStartsAfresh) {
    TestRun r;
    RunTest(r, {{"A", {2, 6}, 5}, {"B", {1, 3}, 3}});
    ASSERT_NE(r.state.FValue, 0);
    RunTest(r, {{"A", {0.3, 0.3, 0.3}}, {"B", {0.1, 0.1, 0.1}}});
    EXPECT_EQ(r.state.FValue, 0);
    EXPECT_EQ(r.state.SignificantCount(1, 2), 9);
    EXPECT_EQ(r.state.LowCount(1, 2), 0);
    EXPECT_EQ(r.state.HighCount(1, 2), 0);
    EXPECT_EQ(r.state.PValue(1, 2), 0);
    EXPECT_DOUBLE_EQ(r.state.PercentileLower(1, 2), 0.2);
    EXPECT_EQ(r.state.CartesianVariance(1, 2), 0);
    EXPECT_EQ(r.state.CartesianSD(1, 2), 0);
    EXPECT_EQ(r.state.TLower(1, 2), r.state.CartesianMean(1, 2));
}

TEST(PairComparisons, PercentileRanksRoundHalvesToEven) {
    struct Case {
        double c;
        std::int64_t lower, upper;
    };
    const Case cases[] = {
        {4, 1, 4},                        // 0.6 and 4.4
        {1000, 26, 976},                  // 25.5 and 975.5
        {10'000, 250, 9750},              // 250.5 and 9750.5
        {1'000'000, 25'000, 975'000},     // 25000.5 and 975000.5
        {4'000'000, 100'000, 3'900'000},  // 100000.5 and 3900000.5
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PercentileRank(c.c, 0.025), c.lower) << c.c;
        EXPECT_EQ(PercentileRank(c.c, 0.975), c.upper) << c.c;
    }
}

TEST(PairComparisons, ProgressLabels) {
    TestRun r;
    Look yellow;
    yellow.Back = Yellow;
    r.window.SetLook("Label6", yellow);
    RunTest(r, {{"A", {5, 6}}, {"B", {3, 4}}, {"C", {1, 2}}});
    const std::string running =
        "I am running Cartesian paired test.\nPlease wait!\nDon't touch me!";
    EXPECT_EQ(r.services.screen.RunningCaption(), running);
    EXPECT_EQ(r.window.Caption("Label2"), running + "\n(Comparing 2 with 3)\n(Sorting...)");
    // blue at the start, then red, blue, red for the three pairs
    EXPECT_EQ(r.window.CurrentLook("Label2").Fore, Red);
    EXPECT_EQ(r.window.CurrentLook("Label2").FontSize, 36);
    EXPECT_EQ(r.state.TestBeganText, "Cartesian paired test began at:3/7/2024 9:05:03 AM");
    EXPECT_EQ(r.window.Caption("lblBootBegin"), r.state.TestBeganText);
    EXPECT_EQ(r.window.Caption("Label6"), "3/7/2024 9:05:03 AM\nTreat 2 to treat 3");
    // yellow -> red -> yellow -> red; red backgrounds carry yellow text
    EXPECT_EQ(r.window.CurrentLook("Label6").Back, Red);
    EXPECT_EQ(r.window.CurrentLook("Label6").Fore, Yellow);
    EXPECT_EQ(r.window.CurrentLook("Label6").Height, 615);
}

TEST(PairComparisons, FlowRecordNamesTheComputationAndEachSort) {
    TestRun r;
    r.state.FlowRecord = true;
    r.state.FlowFile = std::make_unique<FlowRecordFile>(r.folder / "_0_Flow.txt");
    RunTest(r, {{"A", {5, 6}}, {"B", {3, 4}}, {"C", {1, 2}}});
    r.state.FlowFile.reset();
    const std::string flow = test::ReadAll(r.folder / "_0_Flow.txt");
    EXPECT_EQ(flow.rfind(test::CrLf({"Sub CartesianDifference2", "Sub QuickSort", "Sub QuickSort",
                                     "Sub QuickSort"}),
                         0),
              0u)
        << flow;
}

// Refused before anything is computed or written, naming the treatments and numbers.
TEST(PairComparisons, RefusesTreatmentsThatCannotBeCompared) {
    struct Case {
        const char* label;
        std::vector<Treatment> treatments;
        std::vector<std::string> named;
        std::int32_t firstB = 0, secondB = 0;  // B of both when set, values left as loaded
        const char* parameter = "r";
    };
    const std::vector<Treatment> twoByTwo = {{"A", {3, 4}}, {"B", {1, 2}}};
    const Case cases[] = {
        {"one value", {{"A", {3}}, {"B", {1, 2}}}, {"treatment 1 (\"A\")", " is 1;"}},
        {"detail files past the lists",
         twoByTwo,
         {"treatment 1", "treatment 2", "4002000", "4000005"},
         2001,
         2000},
        {"no within-groups df", {{"A", {3, 4}, 1}, {"B", {1, 2}, 1}}, {"(1, 1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestRun r;
        LoadTreatments(r.state, c.treatments);
        r.state.ParameterName(1) = c.parameter;
        if (c.firstB > 0) {
            r.state.BootstrapNumber(1) = c.firstB;
            r.state.BootstrapNumberReal(1) = c.firstB;
            r.state.BootstrapNumber(2) = c.secondB;
            r.state.BootstrapNumberReal(2) = c.secondB;
        }
        r.state.FlowRecord = true;
        r.state.DetailedDifferences = true;
        r.state.DetailFilesRequired = true;
        r.state.FlowFile = std::make_unique<FlowRecordFile>(r.folder / "_0_Flow.txt");
        try {
            CartesianDifference2(r.state, r.services);
            ADD_FAILURE() << "not refused";
        } catch (const RunStopped& e) {
            for (const auto& part : c.named)
                EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
        r.state.FlowFile.reset();
        EXPECT_EQ(r.folder.Files(), std::vector<std::string>{"_0_Flow.txt"});
        EXPECT_EQ(test::ReadAll(r.folder / "_0_Flow.txt"), "");
    }
}

// A stop asked for while the pairs are compared ends the test at the next pair, and nothing it
// made is put in place, detail files included.
TEST(PairComparisons, StopEndsTheTestAndWritesNothing) {
    struct StopAtPair final : TestEvents {
        StopToken& token;
        int pairsStarted = 0;
        explicit StopAtPair(StopToken& t) : token(t) {}
        void PairStarted(int, int, PairPhase phase) override {
            if (phase == PairPhase::Differences) ++pairsStarted;
        }
        void PairDone(int, int, const DateTime&) override { token.Request(); }
    };
    for (const bool details : {false, true}) {
        TestRun r;
        StopToken token;
        StopAtPair events(token);
        r.services.events = &events;
        r.services.stop = &token;
        r.state.DetailedDifferences = details;
        EXPECT_THROW(RunTest(r, {{"A", {5, 6}}, {"B", {3, 4}}, {"C", {1, 2}}}), CommandStopped);
        EXPECT_EQ(events.pairsStarted, 1);
        EXPECT_TRUE(r.folder.Files().empty()) << details;
    }
}

}  // namespace
}  // namespace vortel
