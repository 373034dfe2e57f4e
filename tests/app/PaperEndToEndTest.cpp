// The table and the figure for a manuscript through the program: their letters are the
// report's, the figure is XML a parser reads, the table of several parameters is the golden one,
// and refused input leaves no file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "support/CsvReader.h"
#include "support/RunProgram.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

namespace fs = std::filesystem;

// n treatment files of B = 300 normal values, means a step apart that is about one SE, so that
// near treatments share letters and far ones do not.
std::vector<std::string> TreatmentFiles(const test::TempFolder& folder, int n) {
    std::mt19937 engine(static_cast<unsigned>(n));
    std::vector<std::string> files;
    for (int t = 1; t <= n; ++t) {
        const std::string name = (t < 10 ? "T0" : "T") + std::to_string(t);
        std::string text = name + "\r\nx\r\n30\r\ny\r\n300\r\nr\r\n30\r\n";
        const double mean = 1 - 0.012 * t;
        text += std::to_string(mean) + "\r\n";
        for (int k = 0; k < 300; ++k) {
            // Box-Muller from the engine's raw draws: the same values with every library.
            const double u = (static_cast<double>(engine()) + 0.5) / 4294967296.0,
                         v = (static_cast<double>(engine()) + 0.5) / 4294967296.0;
            text += std::to_string(mean + 0.01 * std::sqrt(-2 * std::log(u)) *
                                              std::cos(6.283185307179586 * v)) +
                    "\r\n";
        }
        files.push_back(folder.Write(name + ".txt", text).string());
    }
    return files;
}

// The letters of each row of the report's marking table, in its order.
std::vector<std::string> ReportLetters(const std::string& report, int n) {
    std::vector<std::string> letters;
    const std::size_t marking = report.find("Preliminary table of differences between treatments.");
    std::size_t at = report.find("Difference\r\n", marking);
    at = report.find("\r\n", at + 12);  // the rule under the heading
    for (int k = 0; k < n; ++k) {
        const std::size_t end = report.find("\r\n", at + 2);
        const std::string line = report.substr(at + 2, end - at - 2);
        const std::size_t first = line.find_first_not_of(' ', 64);
        letters.push_back(first == std::string::npos ? "" : line.substr(first));
        at = end;
    }
    return letters;
}

// The texts of class "letters" of an SVG drawing, read by Python's XML parser, which refuses a
// drawing that is not well-formed XML.
std::vector<std::string> SvgLetters(const fs::path& svg, const test::TempFolder& folder) {
    const fs::path out = folder / "letters.out";
    const std::string command =
        "python3 -c 'import sys, xml.dom.minidom as m\n"
        "d = m.parse(sys.argv[1])\n"
        "for t in d.getElementsByTagName(\"text\"):\n"
        "    if t.getAttribute(\"class\") == \"letters\": print(t.firstChild.data if "
        "t.firstChild else \"\")' \"" +
        svg.string() + "\" > \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << svg;
    std::vector<std::string> letters;
    const std::string text = test::ReadAll(out);
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        letters.push_back(text.substr(at, end - at));
    return letters;
}

TEST(PaperEndToEnd, TableAndFigureCarryTheReportsLetters) {
    for (const int n : {2, 5, 20}) {
        test::TempFolder folder;
        const auto files = TreatmentFiles(folder, n);
        const fs::path table = folder / "table.csv", points = folder / "points.svg",
                       bars = folder / "bars.svg";
        std::vector<std::string> args{"cartesian",     "--code",       "P",
                                      "--paper-table", table.string(), "--means-figure",
                                      points.string()};
        args.insert(args.end(), files.begin(), files.end());
        const test::ProgramResult o = test::RunVortel(args);
        ASSERT_EQ(o.status, 0) << o.err;
        const std::string report = test::ReadAll(o.out.substr(0, o.out.find('\n')));
        const std::vector<std::string> letters = ReportLetters(report, n);
        for (const std::string& l : letters) ASSERT_FALSE(l.empty()) << n << " treatments";

        const auto rows = test::ReadCsv(test::ReadAll(table));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(n) + 1);
        std::vector<std::string> inTable;
        for (std::size_t k = 1; k < rows.size(); ++k) inTable.push_back(rows[k][7]);
        EXPECT_EQ(inTable, letters) << n << " treatments";
        EXPECT_EQ(SvgLetters(points, folder), letters) << n << " treatments";

        args[6] = bars.string();
        args.insert(args.begin() + 1, {"--means-style", "bars", "--means-width", "double"});
        ASSERT_EQ(test::RunVortel(args).status, 0);
        EXPECT_EQ(SvgLetters(bars, folder), letters) << n << " treatments";
    }
}

// Three parameters of the five example treatments, each tested on its own, in one table.
TEST(PaperEndToEnd, ThreeParametersMakeTheGoldenTable) {
    test::TempFolder folder;
    std::vector<std::string> r;
    for (int t = 1; t <= 5; ++t) {
        const std::string name = "treatment-" + std::to_string(t) + ".txt";
        fs::copy_file(fs::path(VORTEL_EXAMPLES) / name, folder / name);
        r.push_back((folder / name).string());
    }
    std::vector<std::vector<std::string>> tests{r};
    for (const char* name : {"treatments-lambda.csv", "treatments-R0.csv"}) {
        fs::copy_file(fs::path(VORTEL_EXAMPLES) / name, folder / name);
        tests.push_back({(folder / name).string()});
    }
    std::vector<std::string> tables;
    for (const auto& files : tests) {
        std::vector<std::string> args{"cartesian", "--csv", "--code", "P"};
        args.insert(args.end(), files.begin(), files.end());
        const test::ProgramResult o = test::RunVortel(args);
        ASSERT_EQ(o.status, 0) << o.err;
        tables.push_back(o.out.substr(o.out.rfind('\n', o.out.size() - 2) + 1));
        tables.back().pop_back();
    }
    std::vector<std::string> args{"paper-table"};
    args.insert(args.end(), tables.begin(), tables.end());
    const test::ProgramResult md = test::RunVortel(args);
    ASSERT_EQ(md.status, 0) << md.err;
    EXPECT_EQ(md.out, test::ReadAll(test::DataFile("paper/three-parameters.md")));

    // The same table as a file, in the format its ending names.
    const fs::path html = folder / "three.html";
    args.insert(args.begin() + 1, {"--output", html.string()});
    const test::ProgramResult o = test::RunVortel(args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(test::ReadAll(html).substr(0, 15), "<!DOCTYPE html>");
}

// Refused input: one line naming what is wrong, no output, and an earlier output file as it was.
TEST(PaperEndToEnd, RefusedTablesLeaveNoOutput) {
    test::TempFolder folder;
    const std::string good =
        folder.Write("good.csv", "treatment,original,SE,letters\r\nA,1,0.1,a\r\n").string();
    const std::string bad =
        folder.Write("bad.csv", "treatment,original,SE,letters\r\nA,1,one,a\r\n").string();
    const std::string output = folder.Write("out.html", "earlier").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--output", output, good, bad},
         1,
         "vortel paper-table: Table \"" + bad +
             "\", row 2, column 3 (SE): \"one\" is not a number."},
        {{"--output", output, good, (folder / "none.csv").string()},
         1,
         "cannot read the table \"" + (folder / "none.csv").string() + "\": there is no such file"},
        {{"--output", (folder / "out.pdf").string(), good},
         2,
         "must end in .csv, .md, .html or .tex"},
        {{"--output", output}, 2, "one or more treatments tables are needed"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"paper-table"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::ProgramResult o = test::RunVortel(args);
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(test::ReadAll(output), "earlier");
        EXPECT_EQ(folder.Files(), (std::vector<std::string>{"bad.csv", "good.csv", "out.html"}));
    }
}

// A table or figure that cannot be written where it is named stops the test before it runs.
TEST(PaperEndToEnd, UnwritableNamesStopTheTestFirst) {
    test::TempFolder folder;
    const auto files = TreatmentFiles(folder, 2);
    fs::create_directory(folder / "table.md");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--paper-table", (folder / "none" / "t.md").string()},
         "--paper-table: there is no folder"},
        {{"--paper-table", (folder / "table.md").string()}, "is a folder"},
        {{"--means-figure", (folder / "none" / "m.svg").string()},
         "--means-figure: there is no folder"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> args{"cartesian"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), files.begin(), files.end());
        const test::ProgramResult o = test::RunVortel(args);
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
        EXPECT_EQ(folder.Files(), (std::vector<std::string>{"T01.txt", "T02.txt", "table.md"}));
    }
}

// PNG at 600 dpi where the program draws with Qt; elsewhere a clear refusal before the test.
TEST(PaperEndToEnd, MeansFigureAsPngAtPrintResolution) {
    test::TempFolder folder;
    const auto files = TreatmentFiles(folder, 2);
    const fs::path png = folder / "means.png";
    const test::ProgramResult o =
        test::RunVortel({"cartesian", "--means-figure", png.string(), files[0], files[1]});
    if (o.status != 0) {
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.err.find("draws the figure as SVG only"), std::string::npos) << o.err;
        EXPECT_FALSE(fs::exists(png));
        EXPECT_EQ(folder.Files().size(), 2u);
        return;
    }
    const std::string bytes = test::ReadAll(png);
    ASSERT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const auto big = [&](std::size_t at) {
        std::uint32_t x = 0;
        for (std::size_t k = 0; k < 4; ++k) x = x << 8 | static_cast<unsigned char>(bytes[at + k]);
        return x;
    };
    EXPECT_EQ(big(16), 2008u);  // 85 mm at 600 dpi
    const std::size_t phys = bytes.find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    EXPECT_EQ(big(phys + 4), 23622u);  // 600 dpi in dots per metre
}

}  // namespace
}  // namespace vortel
