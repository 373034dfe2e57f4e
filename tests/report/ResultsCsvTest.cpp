// The CSV tables beside the report: read back with a reader of their own, every number the
// state's double, every name as it was, and written with the report or not at all.
#include <gtest/gtest.h>

#include <cmath>

#include "ReportFixtures.h"
#include "report/PrintMultiCIofDifference.h"
#include "report/ResultFileName.h"
#include "report/ResultsCsv.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/CsvReader.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using test::ExpectSameDouble;
using test::ReadCsv;
using test::Record;

TEST(ResultsCsv, NumbersReadBackAsTheStatesDoubles) {
    const double values[] = {0.1,
                             1.0 / 3,
                             -2.5e-300,
                             1e300,
                             4e6,
                             12345.678,
                             -0.0,
                             0.0,
                             5e-324,
                             0.0051162,
                             std::nextafter(1.0, 2.0)};
    for (double x : values) ExpectSameDouble(CsvNumber(x), x, CsvNumber(x));
    EXPECT_EQ(CsvNumber(0.25), "0.25");
    EXPECT_EQ(CsvNumber(2000), "2000");
    EXPECT_EQ(CsvNumber(std::nan("")), "NaN");
    EXPECT_EQ(CsvNumber(-HUGE_VAL), "-Inf");
}

TEST(ResultsCsv, FieldsAreQuotedOnlyWhereNeeded) {
    const std::pair<const char*, const char*> cases[] = {
        {"Tomato", "Tomato"},
        {"", ""},
        {"Rose, wild", "\"Rose, wild\""},
        {"the \"best\" one", "\"the \"\"best\"\" one\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {" padded", "\" padded\""},
        {"inner blank", "inner blank"},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

// Five treatments, names that need quoting, equal means (T2 = T3: taken as T3 minus T2), P of
// exactly 0.05 and Sidak 0.0051162.
TEST(ResultsCsv, TablesOfFiveTreatmentsReadBack) {
    AnalysisState state;
    test::Fill(state, test::FiveTreatments());
    state.TreatmentName(2) = "Rose, \"wild\"";
    state.TreatmentName(5) = " Kale\nlate";
    const ResultsCsv tables = ResultsCsvOf(state, state, state);

    const auto treatments = ReadCsv(tables.Treatments);
    ASSERT_EQ(treatments.size(), 6u);
    EXPECT_EQ(treatments[0], (Record{"treatment", "original", "bootstrap_mean", "variance", "SE",
                                     "n", "B", "letters"}));
    // Not different: 2-3, 3-4 and 4-5 only.
    const char* const letters[] = {"a", "b", "bc", "cd", "d"};
    for (int k = 1; k <= 5; ++k) {
        const Record& r = treatments[static_cast<std::size_t>(k)];
        const std::string what = "treatment " + std::to_string(k);
        ASSERT_EQ(r.size(), 8u) << what;
        EXPECT_EQ(r[0], state.TreatmentName(k));
        ExpectSameDouble(r[1], state.OriginalMean(k), what);
        ExpectSameDouble(r[2], state.BootstrapMean(k), what);
        ExpectSameDouble(r[3], state.BootstrapVariance(k), what);
        ExpectSameDouble(r[4], state.TreatmentSE(k), what);
        EXPECT_EQ(r[5], "30");
        EXPECT_EQ(r[6], "1000");
        EXPECT_EQ(r[7], letters[k - 1]) << what;
    }

    const auto pairs = ReadCsv(tables.Pairs);
    ASSERT_EQ(pairs.size(), 11u);
    EXPECT_EQ(pairs[0], (Record{"parameter",
                                "treatment_a",
                                "treatment_b",
                                "B_a",
                                "B_b",
                                "C",
                                "mean_difference",
                                "variance",
                                "SE",
                                "t_lower",
                                "t_upper",
                                "percentile_lower",
                                "percentile_upper",
                                "insignificant",
                                "significant",
                                "P",
                                "t_significant",
                                "percentile_significant",
                                "P_at_most_0.05",
                                "P_below_sidak",
                                "sidak_alpha"}));
    // Verdicts worked out from the fixture: t lower > 0, percentile lower > 0, P <= 0.05,
    // P < 0.0051162; equal means are no difference whatever the intervals say.
    struct Expected {
        int a, b;
        const char* verdicts;
    };
    const Expected expected[] = {{1, 2, "TTTT"}, {1, 3, "TTTF"}, {1, 4, "TFTF"}, {1, 5, "TTTT"},
                                 {3, 2, "FFFF"}, {2, 4, "TTTT"}, {2, 5, "TTTT"}, {3, 4, "FFFF"},
                                 {3, 5, "TTTF"}, {4, 5, "FFFF"}};
    std::size_t row = 1;
    for (int i = 1; i <= 4; ++i) {
        for (int j = i + 1; j <= 5; ++j, ++row) {
            const Record& r = pairs[row];
            const Expected& e = expected[row - 1];
            const std::string what = "pair " + std::to_string(i) + "-" + std::to_string(j);
            ASSERT_EQ(r.size(), 21u) << what;
            EXPECT_EQ(r[0], "r");
            EXPECT_EQ(r[1], state.TreatmentName(e.a)) << what;
            EXPECT_EQ(r[2], state.TreatmentName(e.b)) << what;
            EXPECT_EQ(r[3], "1000");
            EXPECT_EQ(r[4], "1000");
            EXPECT_EQ(r[5], "1000000");
            test::ExpectPairResults(r, state, i, j, what);
            for (std::size_t v = 0; v < 4; ++v)
                EXPECT_EQ(r[16 + v], e.verdicts[v] == 'T' ? "TRUE" : "FALSE") << what << " " << v;
            ExpectSameDouble(r[20], 0.0051162, what);
        }
    }
}

TEST(ResultsCsv, PathsAreThoseOfTheReportWithoutItsTxt) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/25A-Cartesian diff results-r_1 417.txt",
         "/data/25A-Cartesian diff results-r_1 417"},
        {"/data/25A-Cartesian diff results-r.m_202437-953.txt",
         "/data/25A-Cartesian diff results-r.m_202437-953"},
    };
    for (const auto& [report, base] : cases) {
        const ResultsCsvPaths paths = ResultsCsvPathsFor(report);
        EXPECT_EQ(paths.Pairs.string(), std::string(base) + " pairs.csv");
        EXPECT_EQ(paths.Treatments.string(), std::string(base) + " treatments.csv");
    }
}

const std::string ReportName = "25A-Cartesian diff results-r_202437-953.txt";
const std::string PairsName = "25A-Cartesian diff results-r_202437-953 pairs.csv";
const std::string TreatmentsName = "25A-Cartesian diff results-r_202437-953 treatments.csv";

TEST(ResultsCsv, WrittenWithTheReportWhichStaysAsItWas) {
    std::string plain;
    {
        test::ReportRun run;
        AnalysisState state;
        test::Fill(state, test::ThreeTreatments());
        run.ui.Type(NoCode);
        PrintMultiCIofDifference(state, run.services);
        plain = test::ReadAll(run.folder / ReportName);
        EXPECT_EQ(run.folder.Files(), std::vector<std::string>{ReportName});
    }
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::ThreeTreatments());
    state.CsvResults = true;
    run.ui.Type(NoCode);
    PrintMultiCIofDifference(state, run.services);
    EXPECT_EQ(test::ReadAll(run.folder / ReportName), plain);
    EXPECT_EQ(run.folder.Files(),
              (std::vector<std::string>{PairsName, TreatmentsName, ReportName}));
    const ResultsCsv tables = ResultsCsvOf(state, state, state);
    EXPECT_EQ(test::ReadAll(run.folder / PairsName), tables.Pairs);
    EXPECT_EQ(test::ReadAll(run.folder / TreatmentsName), tables.Treatments);
}

// A table that cannot be created stops the report too: the earlier report and tables of those
// names stay as they were, and no temporary file is left.
TEST(ResultsCsv, NoTableNoReport) {
    test::ReportRun run;
    run.folder.Write(ReportName, "earlier report");
    run.folder.Write(PairsName, "earlier pairs");
    std::filesystem::create_directory(run.folder / TreatmentsName);
    AnalysisState state;
    test::Fill(state, test::ThreeTreatments());
    state.CsvResults = true;
    run.ui.Type(NoCode);
    EXPECT_THROW(PrintMultiCIofDifference(state, run.services), RunStopped);
    EXPECT_EQ(test::ReadAll(run.folder / ReportName), "earlier report");
    EXPECT_EQ(test::ReadAll(run.folder / PairsName), "earlier pairs");
    EXPECT_EQ(run.folder.Files(),
              (std::vector<std::string>{PairsName, TreatmentsName, ReportName}));
}

}  // namespace
}  // namespace vortel
