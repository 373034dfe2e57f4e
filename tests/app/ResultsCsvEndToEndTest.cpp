// The CSV tables and the differences figure of whole tests: the five example treatments read
// back against the record, and the batch options that ask for them.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/ResultsCsv.h"
#include "shell/mainwindow/App.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/CsvReader.h"
#include "support/RunProgram.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

namespace fs = std::filesystem;
using test::ExpectSameDouble;
using test::Record;

// Copies the five example treatments into the folder; returns their paths there.
std::vector<std::string> Examples(const test::TempFolder& folder) {
    std::vector<std::string> files;
    for (int t = 1; t <= 5; ++t) {
        const std::string name = "treatment-" + std::to_string(t) + ".txt";
        fs::copy_file(fs::path(VORTEL_EXAMPLES) / name, folder / name);
        files.push_back((folder / name).string());
    }
    return files;
}

TEST(ResultsCsvEndToEnd, FiveExampleTreatmentsReadBackAsTheRecordHoldsThem) {
    test::TempFolder folder;
    const auto files = Examples(folder);
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock(1709802303);
    App app(ui, window, clock);
    SetEditionValues(app.State());
    app.State().CsvResults = true;
    ui.No().No().Type("5").Type("0");
    for (const auto& f : files) ui.Pick(f);
    ui.Type("1");
    ASSERT_TRUE(app.Run(AskAndRunCartesianTest)) << app.LastFailure();
    const AnalysisState& s = app.State();

    const ResultsCsvPaths paths = ResultsCsvPathsFor(s.ResultFileName);
    const auto treatments = test::ReadCsv(test::ReadAll(paths.Treatments));
    ASSERT_EQ(treatments.size(), 6u);
    for (const Record& r : treatments) ASSERT_EQ(r.size(), 8u);
    for (int k = 1; k <= 5; ++k) {
        const Record& r = treatments[static_cast<std::size_t>(k)];
        const std::string what = s.TreatmentName(k);
        EXPECT_EQ(r[0], s.TreatmentName(k));
        ExpectSameDouble(r[1], s.OriginalMean(k), what);
        ExpectSameDouble(r[2], s.BootstrapMean(k), what);
        ExpectSameDouble(r[3], s.BootstrapVariance(k), what);
        ExpectSameDouble(r[4], s.TreatmentSE(k), what);
        EXPECT_EQ(r[5], std::to_string(s.SampleSize(k)));
        EXPECT_EQ(r[6], "2000");
    }
    // Each treatment's row of the report's marking table ends with the letters of the table.
    const std::string report = test::ReadAll(s.ResultFileName);
    const std::size_t marking = report.find("Preliminary table of differences between treatments.");
    ASSERT_NE(marking, std::string::npos);
    for (int k = 1; k <= 5; ++k) {
        const Record& r = treatments[static_cast<std::size_t>(k)];
        const std::size_t row = report.find("\r\n " + r[0] + " ", marking);
        ASSERT_NE(row, std::string::npos) << r[0];
        const std::size_t end = report.find("\r\n", row + 2);
        const std::string line = report.substr(row + 2, end - row - 2);
        EXPECT_EQ(line.substr(64), " " + r[7]) << line;
    }

    const auto pairs = test::ReadCsv(test::ReadAll(paths.Pairs));
    ASSERT_EQ(pairs.size(), 11u);
    for (const Record& r : pairs) ASSERT_EQ(r.size(), 21u);
    std::size_t row = 1;
    for (int i = 1; i <= 4; ++i) {
        for (int j = i + 1; j <= 5; ++j, ++row) {
            const Record& r = pairs[row];
            const std::string what = r[1] + " - " + r[2];
            // The examples' means fall with their position, so every pair is i minus j.
            EXPECT_EQ(r[1], s.TreatmentName(i));
            EXPECT_EQ(r[2], s.TreatmentName(j));
            EXPECT_EQ(r[5], "4000000");
            test::ExpectPairResults(r, s, i, j, what);
            ExpectSameDouble(r[20], s.SidakAlpha, what);
        }
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST(ResultsCsvEndToEnd, BatchPrintsTheTablesAfterTheReportAndDrawsTheFigure) {
    test::TempFolder folder;
    for (const char* name : {"tomato-r.txt", "pepper-r.txt"})
        fs::copy_file(test::DataFile(std::string("cartesian/") + name), folder / name);
    const fs::path figure = folder / "figure.svg";
    const test::ProgramResult o =
        test::RunVortel({"cartesian", "--csv", "--figure", figure.string(), "--code", "K",
                         (folder / "tomato-r.txt").string(), (folder / "pepper-r.txt").string()});
    ASSERT_EQ(o.status, 0) << o.err;
    const auto lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 3u) << o.out;
    ASSERT_EQ(lines[0].substr(lines[0].size() - 4), ".txt");
    const std::string base = lines[0].substr(0, lines[0].size() - 4);
    EXPECT_EQ(lines[1], base + " pairs.csv");
    EXPECT_EQ(lines[2], base + " treatments.csv");
    EXPECT_EQ(test::ReadCsv(test::ReadAll(lines[1])).size(), 2u);
    EXPECT_EQ(test::ReadCsv(test::ReadAll(lines[2])).size(), 3u);
    EXPECT_NE(test::ReadAll(figure).find("Tomato \xE2\x88\x92 Pepper  (P = "), std::string::npos);
}

TEST(ResultsCsvEndToEnd, FigureThatCannotBeWrittenStopsBeforeTheTest) {
    test::TempFolder folder;
    for (const char* name : {"tomato-r.txt", "pepper-r.txt"})
        fs::copy_file(test::DataFile(std::string("cartesian/") + name), folder / name);
    const std::string a = (folder / "tomato-r.txt").string(),
                      b = (folder / "pepper-r.txt").string();
    struct Case {
        std::string figure;
        int status;
    };
    const Case cases[] = {
        {(folder / "figure.jpg").string(), 2},
        {(folder / "no-such-folder" / "figure.png").string(), 1},
        {folder.Path().string() + "/.png", 1},
    };
    fs::create_directory(folder / ".png");
    for (const Case& c : cases) {
        const test::ProgramResult o = test::RunVortel({"cartesian", "--figure", c.figure, a, b});
        EXPECT_EQ(o.status, c.status) << c.figure << ": " << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find("--figure"), std::string::npos) << o.err;
        EXPECT_EQ(folder.Files(),
                  (std::vector<std::string>{".png", "pepper-r.txt", "tomato-r.txt"}));
    }
}

TEST(ResultsCsvEndToEnd, HelpDocumentsTheOptions) {
    const test::ProgramResult o = test::RunVortel({"--help"});
    for (const char* part :
         {"[--csv]", "--figure FILE.png|FILE.svg", "pairs.csv", "treatments.csv"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace vortel
