// Whole Cartesian paired tests, from the launch's questions to the finished report, on small
// treatment files whose differences can be counted by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cartesian/cmdCartesianDifference.h"
#include "shell/state/App.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"
#include "shell/mainwindow/HeadlessWindow.h"

namespace vortel {
namespace {

// 7 March 2024, 09:05:03 UTC.
constexpr std::int64_t Moment = 1709802303;

// Set VORTEL_UPDATE_GOLDEN=1 to rewrite the golden file from the code; then check every line.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const auto path = test::DataFile("report/" + name);
    if (std::getenv("VORTEL_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(test::ReadAll(path), actual) << "report differs from " << path;
}

// Entered as Low, High, Mid; the report orders them High, Mid, Low by their means 6.5, 5.5, 2.5.
// With four values each (B = 4, C = 16):
//   High-Mid: D = 1, 6 differences <= 0 and 6 >= 2, so P = 12/16 = 0.75, interval [-2, 4];
//   High-Low: D = 4, all 16 inside (0, 8), so P = 0, interval [1, 7];
//   Mid-Low:  D = 3, one difference 0 and one 6, so P = 0.125, interval [0, 6];
// every pair has variance 40/15; F = (86.67 / 2) / (45 / 27) = 26.
const char* const Inputs[] = {"input-Low.txt", "input-High.txt", "input-Mid.txt"};

void CopyInputs(const test::TempFolder& folder) {
    for (const char* name : Inputs)
        folder.Write(name, test::ReadAll(test::DataFile(std::string("report/") + name)));
}

TEST(ReportEndToEnd, ThreeTreatmentsFromFilesToReport) {
    test::TempFolder folder;
    CopyInputs(folder);

    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock(Moment);
    App app(ui, window, clock);
    SetEditionValues(app.State());
    ui.No().No().Type("3").Type("0");
    ui.Pick((folder / "input-Low.txt").string());
    ui.Pick((folder / "input-High.txt").string());
    ui.Pick((folder / "input-Mid.txt").string());
    ui.Type("1");

    ASSERT_TRUE(app.Run(cmdCartesianDifference_Click)) << app.LastFailure();
    EXPECT_TRUE(ui.AllAnswered());
    const AnalysisState& state = app.State();
    EXPECT_EQ(state.ResultFileName,
              (folder / "25A-Cartesian diff results-r_202437-953.txt").string());
    ExpectGolden("end-to-end-three.txt", test::ReadAll(state.ResultFileName));
    const std::vector<std::vector<std::string>> grid = {{"", "High", "Mid", "Low"},
                                                        {"High", " ----", " 1", " 4"},
                                                        {"Mid", " .75", " ----", " 3"},
                                                        {"Low", " 0*", " .125", " ----"}};
    EXPECT_EQ(window.Grid(), grid);
}

// The program itself, its clock fixed by SOURCE_DATE_EPOCH, writes the same report.
TEST(ReportEndToEnd, CommandLineWritesTheSameReport) {
    test::TempFolder folder;
    CopyInputs(folder);
    std::string command =
        "SOURCE_DATE_EPOCH=" + std::to_string(Moment) + " '" VORTEL_BINARY "' cartesian";
    for (const char* name : Inputs) command += " '" + (folder / name).string() + "'";
    command += " > '" + (folder / "printed.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto report = folder / "25A-Cartesian diff results-r_202437-953.txt";
    EXPECT_EQ(test::ReadAll(folder / "printed.txt"), report.string() + "\n");
    EXPECT_EQ(test::ReadAll(report), test::ReadAll(test::DataFile("report/end-to-end-three.txt")));
}

}  // namespace
}  // namespace vortel
