// Whole Cartesian paired tests, from the launch's questions to the finished report, on small
// treatment files whose differences can be counted by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "shell/mainwindow/App.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

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

    ASSERT_TRUE(app.Run(AskAndRunCartesianTest)) << app.LastFailure();
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

// Treatments of four values b, b+1, b+2, b+3 (B = 4, C = 16). Two of them differ by their
// bases' gap g: the differences run from g-3 to g+3, so g = 1, 2, 3 give P = 0.75, 0.375,
// 0.125 (not different) and a gap of 4 or more gives P = 0.
struct Plant {
    std::string Name;
    int Base;
};

// A whole test of the plants, entered in the order given; the report's text.
std::string RunPlants(const test::TempFolder& folder, const std::vector<Plant>& plants, App& app,
                      ScriptedDialogues& ui) {
    SetEditionValues(app.State());
    ui.No().No().Type(std::to_string(plants.size())).Type("0");
    for (const auto& p : plants) {
        std::string text = p.Name + ",x,10,y,4,r,10," + std::to_string(p.Base + 1.5) + "\r\n";
        for (int v = 0; v < 4; ++v) text += std::to_string(p.Base + v) + "\r\n";
        ui.Pick(folder.Write(p.Name + ".txt", text).string());
    }
    ui.Type("1");
    EXPECT_TRUE(app.Run(AskAndRunCartesianTest)) << app.LastFailure();
    EXPECT_TRUE(ui.AllAnswered());
    return test::ReadAll(app.State().ResultFileName);
}

// The marking rows: each treatment's name and letters, as the last table prints them.
std::vector<std::string> MarkingRows(const std::string& report) {
    const auto from = report.find(" Treatment     Original");
    std::vector<std::string> rows;
    std::size_t at = report.find("\r\n", report.find("\r\n", from) + 2) + 2;
    for (std::size_t end; (end = report.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = report.substr(at, end - at);
        if (line[1] == '-') break;
        rows.push_back(line.substr(1, line.find(' ', 1) - 1) + line.substr(64));
    }
    return rows;
}

// Six plants entered out of order: the report orders them Kale, Cabbage, Turnip, Mustard,
// Cress, Radish (bases 20, 18, 17, 14, 10, 5). Not different: Kale-Cabbage (gap 2),
// Kale-Turnip (3), Cabbage-Turnip (1) and Turnip-Mustard (3); so Kale, Cabbage and Turnip share
// a, Turnip and Mustard share b, and Cress and Radish stand alone.
TEST(ReportEndToEnd, SixTreatmentsFromFilesToReport) {
    test::TempFolder folder;
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock(Moment);
    App app(ui, window, clock);
    const std::string report = RunPlants(folder,
                                         {{"Cress", 10},
                                          {"Kale", 20},
                                          {"Radish", 5},
                                          {"Turnip", 17},
                                          {"Mustard", 14},
                                          {"Cabbage", 18}},
                                         app, ui);
    ExpectGolden("end-to-end-six.txt", report);
    EXPECT_EQ(test::CountOf(report, "Comparison between "), 15u);
    EXPECT_EQ(test::CountOf(report, "\r\n " + std::string(81, '=') + "\r\n"), 5u);  // 11 x 6 + 15
    EXPECT_NE(report.find("Alpha(Sidak) = 0.00341371"), std::string::npos);  // 1 - 0.95^(1/15)
    EXPECT_EQ(MarkingRows(report), (std::vector<std::string>{"Kale a", "Cabbage a", "Turnip ab",
                                                             "Mustard b", "Cress c", "Radish d"}));
    ASSERT_EQ(window.Grid().size(), 7u);
    EXPECT_EQ(window.Grid()[0], (std::vector<std::string>{"", "Kale", "Cabbage", "Turnip",
                                                          "Mustard", "Cress", "Radish"}));
    EXPECT_EQ(window.Grid()[6][5], " 0*");  // Radish-Cress, P = 0
    EXPECT_EQ(window.Grid()[4][3], " .125");
}

// Eight and 20 treatments: a section per pair, tables 11 x N + 15 wide with the originals
// after them, a grid of N + 1 rows and columns, and letters that follow the P-values.
TEST(ReportEndToEnd, EightAndTwentyTreatmentsFillEveryTable) {
    std::vector<Plant> eight = {{"Cress", 10},   {"Kale", 20},    {"Radish", 5}, {"Turnip", 17},
                                {"Mustard", 14}, {"Cabbage", 18}, {"Leek", 7},   {"Onion", 25}};
    std::vector<Plant> twenty;
    for (int k = 1; k <= 20; ++k) twenty.push_back({"P" + std::to_string(k), 3 * k});
    const struct {
        std::vector<Plant> plants;
        std::vector<std::string> first, last;  // marking rows
    } cases[] = {
        {eight, {"Onion a", "Kale b"}, {"Cress d", "Leek de", "Radish e"}},
        // Neighbours 3 apart do not differ, all others do: a staircase of 19 letters.
        {twenty, {"P20 a", "P19 ab", "P18 bc"}, {"P2 rs", "P1 s"}},
    };
    for (const auto& c : cases) {
        const auto n = c.plants.size();
        test::TempFolder folder;
        ScriptedDialogues ui;
        HeadlessWindow window;
        FixedClock clock(Moment);
        App app(ui, window, clock);
        const std::string report = RunPlants(folder, c.plants, app, ui);
        EXPECT_EQ(test::CountOf(report, "Comparison between "), n * (n - 1) / 2) << n;
        EXPECT_EQ(test::CountOf(report, "\r\n " + std::string(11 * n + 15, '=') + "\r\n"), 5u) << n;
        EXPECT_EQ(test::CountOf(report, "\r\n " + std::string(11 * n + 15, '-') + "\r\n"), 10u)
            << n;
        const auto original = report.find(" Original\r\n");
        EXPECT_EQ(original - report.rfind("\r\n", original) - 2, 11 * n + 17) << n;
        EXPECT_NE(report.find("Number of treatments = " + std::to_string(n) + " "),
                  std::string::npos);

        const auto rows = MarkingRows(report);
        ASSERT_EQ(rows.size(), n);
        EXPECT_TRUE(std::equal(c.first.begin(), c.first.end(), rows.begin())) << rows[0];
        EXPECT_TRUE(std::equal(c.last.rbegin(), c.last.rend(), rows.rbegin())) << rows.back();
        const AnalysisState& s = app.State();
        for (std::size_t i = 1; i <= n; ++i) {
            for (std::size_t j = i + 1; j <= n; ++j) {
                const std::string a = rows[i - 1].substr(rows[i - 1].find(' ') + 1);
                const std::string b = rows[j - 1].substr(rows[j - 1].find(' ') + 1);
                const bool share = a.find_first_of(b) != std::string::npos;
                EXPECT_EQ(share, s.PValue(static_cast<std::int64_t>(j),
                                          static_cast<std::int64_t>(i)) > 0.05)
                    << n << " treatments, pair " << i << "-" << j;
            }
        }
        ASSERT_EQ(window.Grid().size(), n + 1);
        for (const auto& row : window.Grid()) EXPECT_EQ(row.size(), n + 1);
        EXPECT_EQ(window.GridColumnWidths(), std::vector<int>(n + 1, 500));
    }
}

}  // namespace
}  // namespace vortel
