// Whole reports compared byte for byte with checked files in tests/data/report, and the file
// name, failure and window behaviour of the report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "ReportFixtures.h"
#include "report/PrintMultiCIofDifference.h"
#include "report/ResultFileName.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/FlowRecord.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using test::ReadAll;
using test::ReportMoment;

const std::string DefaultName = "25A-Cartesian diff results-r_202437-953.txt";

// Set VORTEL_UPDATE_GOLDEN=1 to rewrite the golden files from the code; then check every line.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const auto path = test::DataFile("report/" + name);
    if (std::getenv("VORTEL_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(ReadAll(path), actual) << "report differs from " << path;
}

std::string Report(AnalysisState& state, test::ReportRun& run) {
    run.ui.Type(NoCode);
    PrintMultiCIofDifference(state, run.services);
    EXPECT_EQ(state.ResultFileName, (run.folder / DefaultName).string());
    // The window is told where the report is, once it is complete.
    const auto& written = run.window.Written();
    EXPECT_TRUE(!written.empty() &&
                (written.back() == WrittenFile{"Report", state.ResultFileName}));
    return ReadAll(state.ResultFileName);
}

TEST(PrintMultiCIofDifference, TwoTreatmentsLongNamesAndLargeDifferences) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    ExpectGolden("two-treatments.txt", Report(state, run));
}

TEST(PrintMultiCIofDifference, SecondReportOfARunNumbersItsTablesOn) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::ThreeTreatments());
    const std::string first = Report(state, run);
    ExpectGolden("three-treatments.txt", first);
    EXPECT_EQ(state.TableNumber, 7);

    run.clock.Advance(1);  // a new second, so a new file
    test::Fill(state, test::FiveTreatments(), ReportMoment + 1);
    run.ui.Type(NoCode);
    PrintMultiCIofDifference(state, run.services);
    ExpectGolden("five-treatments.txt", ReadAll(state.ResultFileName));
    EXPECT_EQ(state.TableNumber, 14);
    EXPECT_EQ(ReadAll(run.folder / DefaultName), first);
}

TEST(PrintMultiCIofDifference, DurationSwitchesUnitsAtTwoMinutesAndAnHour) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "Total time = 0 sec."},        {75, "Total time = 75 sec."},
        {119, "Total time = 119 sec."},    {120, "Total time = 2 min."},
        {125, "Total time = 2.08 min."},   {150, "Total time = 2.5 min."},
        {3599, "Total time = 59.98 min."}, {3600, "Total time = 1 hr."},
        {5400, "Total time = 1.5 hr."},    {5418, "Total time = 1.5 hr."},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), text) << seconds;
}

TEST(PrintMultiCIofDifference, FileNameCarriesDateTimeOrCodeAndRandomNumber) {
    const DateTime moment = DateTime::FromEpochUtc(ReportMoment);
    const std::string base = "25A-Cartesian diff";
    EXPECT_EQ(ResultFileNameFor(base, "r", "1", moment, 0.9), DefaultName);
    EXPECT_EQ(ResultFileNameFor(base, "r", "X1", moment, 0.417),
              "25A-Cartesian diff results-r_X1 417.txt");
    EXPECT_EQ(ResultFileNameFor(base, "r", "", moment, 0.417),
              "25A-Cartesian diff results-r_ 417.txt");
    EXPECT_EQ(ResultFileNameFor(base, "lambda", "A", moment, 0.9996),
              "25A-Cartesian diff results-lambda_A 1000.txt");
    EXPECT_EQ(ResultFileNameFor(base, "r", "A", moment, 0), "25A-Cartesian diff results-r_A 0.txt");
    // Two-digit months, days and times keep no leading zeros either.
    EXPECT_EQ(ResultFileNameFor("b", "R0", "1", DateTime::FromEpochUtc(1734567890), 0),
              "b results-R0_20241219-02450.txt");
}

TEST(PrintMultiCIofDifference, CodeThatCannotBePartOfAFileNameIsAskedAgain) {
    for (const std::string& bad :
         std::vector<std::string>{"a/b", "x:y", std::string(201, 'c'), "tab\there"}) {
        test::ReportRun run;
        AnalysisState state;
        test::Fill(state, test::TwoTreatments());
        run.random.Seed(7);
        run.ui.Type(bad).Type("X1");
        PrintMultiCIofDifference(state, run.services);
        ASSERT_EQ(run.ui.Notices().size(), 1u) << bad;
        EXPECT_EQ(state.OutputFileCode, "X1");
        const auto files = run.folder.Files();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            files[0],
            std::regex("25A-Cartesian diff results-r_X1 ([0-9]|[1-9][0-9]{1,2}|1000)\\.txt")))
            << files[0];
        EXPECT_EQ(state.ResultFileName, (run.folder / files[0]).string());
    }
}

// A name the file system cannot take is asked again while another code can help; a cancel
// or the default code, which add no code to the name, stop the test instead.
TEST(PrintMultiCIofDifference, NameTooLongForTheFileSystem) {
    {
        test::ReportRun run;
        AnalysisState state;
        test::Fill(state, test::TwoTreatments());
        state.CurrentParameterName = std::string(40, 'p');
        run.ui.Type(std::string(200, 'c')).Type("X1");
        PrintMultiCIofDifference(state, run.services);
        EXPECT_EQ(run.ui.Notices().size(), 1u);
        EXPECT_EQ(state.OutputFileCode, "X1");
    }
    {
        test::ReportRun run;
        AnalysisState state;
        test::Fill(state, test::TwoTreatments());
        state.CurrentParameterName = std::string(230, 'p');
        run.ui.Type(NoCode);
        EXPECT_THROW(PrintMultiCIofDifference(state, run.services), RunStopped);
        EXPECT_TRUE(run.folder.Files().empty());
    }
    {
        test::ReportRun run;
        AnalysisState state;
        test::Fill(state, test::TwoTreatments());
        run.ui.SetCurrentFolder(run.folder.Path() / std::string(5000, 'f'));
        run.ui.Type("X1").Type("");
        EXPECT_THROW(PrintMultiCIofDifference(state, run.services), RunStopped);
        EXPECT_EQ(run.ui.Notices().size(), 1u);
        EXPECT_TRUE(run.folder.Files().empty());
    }
}

TEST(PrintMultiCIofDifference, PromptAndCancelledCode) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    run.ui.Type("");
    PrintMultiCIofDifference(state, run.services);
    const auto& asked = run.ui.Log().at(0);
    EXPECT_EQ(asked.Message,
              "If you want to add a specific code for this analysis, please enter the code and "
              "press OK. If not, just click on OK.");
    EXPECT_EQ(asked.Title, "Add a code to the output filename?");
    EXPECT_EQ(asked.Default, "1");
    EXPECT_TRUE(std::regex_match(run.folder.Files().at(0),
                                 std::regex("25A-Cartesian diff results-r_ [0-9]+\\.txt")));
}

TEST(PrintMultiCIofDifference, ReportThatFailsPartWayKeepsTheEarlierFile) {
    test::ReportRun run;
    run.folder.Write(DefaultName, "earlier report\r\n");
    AnalysisState state;
    test::Fill(state, test::ThreeTreatments());
    state.TableNumber = 32766;  // the heading takes 32767, the first pair-test table cannot
    run.ui.Type(NoCode);
    EXPECT_THROW(PrintMultiCIofDifference(state, run.services), RunStopped);
    EXPECT_EQ(run.folder.Files(), std::vector<std::string>{DefaultName});
    EXPECT_EQ(ReadAll(run.folder / DefaultName), "earlier report\r\n");
}

TEST(PrintMultiCIofDifference, ParameterNameWithFolderSeparatorsStaysInTheFolder) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    state.CurrentParameterName = "../r";
    run.ui.Type(NoCode);
    PrintMultiCIofDifference(state, run.services);
    ASSERT_EQ(run.folder.Files().size(), 1u);
    EXPECT_NE(run.folder.Files()[0].find("results-.._r_"), std::string::npos);
}

TEST(PrintMultiCIofDifference, WindowShowsEndTimeGridAndFileName) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    Report(state, run);
    auto& w = run.window;
    EXPECT_EQ(w.Caption("txtDatafile"), "Output file is: " + state.ResultFileName);
    EXPECT_EQ(w.Caption("lblBootEnd"), "Cartesian paired test ended at:3/7/2024 9:05:03 AM");
    EXPECT_TRUE(w.State("lblBootEnd").Visible);
    EXPECT_FALSE(w.State("Label2").Visible);
    EXPECT_TRUE(w.State("MSFlexGrid1").Visible);
    EXPECT_TRUE(w.State("MSFlexGrid1").Enabled);
    for (const char* button : {"Command21", "cmdMultiCompCI", "cmdMatchedLifeTable", "FMNmatrices"})
        EXPECT_FALSE(w.State(button).Enabled) << button;
    EXPECT_EQ(w.Grid().size(), 3u);
    EXPECT_EQ(run.ui.Beeps(), 2);
    EXPECT_EQ(state.TotalTimeText, "Total time = 2 min.");
    EXPECT_EQ(state.TestEndTime.Epoch, ReportMoment);
}

// A t bound that is not a number is printed as it is instead of stopping the report.
TEST(PrintMultiCIofDifference, TBoundThatIsNotANumberStillGivesAReport) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    state.TLower(1, 2) = std::nan("");
    const std::string report = Report(state, run);
    EXPECT_NE(report.find("\r\n                NAN        ----\r\n"), std::string::npos);
}

TEST(PrintMultiCIofDifference, FlowRecordNamesTheReportProcedures) {
    test::ReportRun run;
    AnalysisState state;
    test::Fill(state, test::TwoTreatments());
    state.FlowRecord = true;
    state.FlowFile = std::make_unique<FlowRecordFile>(run.folder / "flow.txt");
    Report(state, run);
    state.FlowFile.reset();
    EXPECT_EQ(ReadAll(run.folder / "flow.txt"),
              test::CrLf({"Sub PrintMultiCIofDifference", "Sub PrintPairTestTable",
                          "Sub ShowMultiCIofDifference"}));
}

}  // namespace
}  // namespace vortel
