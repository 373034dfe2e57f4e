// vortel sortcount, run as its own program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using test::ReadAll;
using test::TempFolder;

// Runs `vortel sortcount` with the arguments.
test::ProgramResult SortCount(std::vector<std::string> args) {
    args.insert(args.begin(), "sortcount");
    return test::RunVortel(args);
}

bool OneMessageLine(const std::string& err) {
    return err.rfind("vortel sortcount: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

// A column of a table sorts as the same values in a file do: a one-column table as general
// data, a treatment's column of the wide example as its treatment file.
TEST(SortCountBatch, SortsAColumnOfATable) {
    TempFolder dir;
    const auto general = dir.Write("ages.txt", "Trial, x, Age, 3, 5, 3, 4, 5, 5, -1\r\n");
    const auto oneColumn = dir.Write("one.csv", "Age\r\n3\r\n5\r\n3\r\n4\r\n5\r\n5\r\n");
    ASSERT_EQ(SortCount({"--kind", "general", general.string()}).status, 0);
    const test::ProgramResult one = SortCount({"--kind", "general", oneColumn.string()});
    ASSERT_EQ(one.status, 0) << one.err;
    // Only the project's name differs: the file's first field, the table's column.
    const auto withoutProject = [](std::string text) { return text.substr(text.find('\n')); };
    EXPECT_EQ(withoutProject(ReadAll(dir / "one-2_Sorted.txt")),
              withoutProject(ReadAll(dir / "ages-2_Sorted.txt")));
    EXPECT_EQ(withoutProject(ReadAll(dir / "one-3_Sorted and counts.txt")),
              withoutProject(ReadAll(dir / "ages-3_Sorted and counts.txt")));

    const auto file = dir.Write(
        "pepper.txt", ReadAll(std::filesystem::path(VORTEL_EXAMPLES) / "treatment-2.txt"));
    const auto wide = dir.Write(
        "wide.csv", ReadAll(std::filesystem::path(VORTEL_EXAMPLES) / "treatments-wide.csv"));
    ASSERT_EQ(SortCount({file.string()}).status, 0);
    const test::ProgramResult column = SortCount({"--column", "Pepper", wide.string()});
    ASSERT_EQ(column.status, 0) << column.err;
    for (const char* end :
         {"-2_Sorted.txt", "-3_Sorted and counts.txt", "-1_0.025, 0.5 and 0.975 r.txt"})
        EXPECT_EQ(ReadAll(dir / ("wide" + std::string(end))),
                  ReadAll(dir / ("pepper" + std::string(end))))
            << end;

    struct Refusal {
        std::vector<std::string> args;
        std::string mention;
    };
    const Refusal refusals[] = {
        {{wide.string()}, "No column of table"},
        {{"--column", "Chili", wide.string()}, "row 1: no column is named \"Chili\""},
        {{oneColumn.string()}, "bootstrap results need the sample size n"},
        {{"--kind", "general", dir.Write("gap.csv", "v\n1\n\n2\n").string()},
         "row 4, column 1 (v): a value follows the empty cell of row 3"},
    };
    for (const Refusal& r : refusals) {
        const test::ProgramResult refused = SortCount(r.args);
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(OneMessageLine(refused.err)) << refused.err;
        EXPECT_NE(refused.err.find(r.mention), std::string::npos) << refused.err;
    }
}

TEST(SortCountBatch, WritesTheThreeFilesBesideTheInputAndPrintsTheirPaths) {
    TempFolder dir;
    const auto file = dir.Write("ages.txt", "Trial, x, Age, 3, 5, 3, 4, 5, 5, -1\r\n");
    const test::ProgramResult r = SortCount({"--kind", "general", file.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string base = (dir / "ages").string();
    EXPECT_EQ(r.out, base + "-2_Sorted.txt\n" + base + "-1_0.025, 0.5 and 0.975 Age.txt\n" + base +
                         "-3_Sorted and counts.txt\n");
    EXPECT_EQ(ReadAll(dir / "ages-1_0.025, 0.5 and 0.975 Age.txt"),
              "\"The 0.5 percentile life table of Age is 4\"\r\n");
    EXPECT_EQ(r.err, "");
}

TEST(SortCountBatch, OptionsAnswerTheQuestions) {
    struct Case {
        std::vector<std::string> options;
        std::string content;
        std::string counts;  // name of the counts file
        std::string firstClass;
    };
    const Case cases[] = {
        // Bootstrap results are the default kind.
        {{}, "T,x,9,x,2,V,A,1\r\n0.26\r\n0.24\r\n", "in-3_Sorted and counts.txt", "1,0.24,1"},
        {{"--decimals", "1"},
         "T,x,9,x,2,V,A,1\r\n0.26\r\n0.24\r\n",
         "in-3_Sorted and counts-1 decimals.txt",
         "1,0.2,1"},
        {{"--kind", "results", "--serials"},
         "T,x,9,x,2,V,A,1,p,q\r\n1,0.5\r\n2,0.25\r\n",
         "in-3_Sorted and counts.txt",
         "1,0.25,1"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        auto args = c.options;
        args.push_back(dir.Write("in.txt", c.content).string());
        const test::ProgramResult r = SortCount(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(ReadAll(dir / c.counts).find("\r\n" + c.firstClass + "\r\n"), std::string::npos)
            << c.counts;
    }
}

TEST(SortCountBatch, BadUsageAndRefusedInputEndWithOneLine) {
    TempFolder dir;
    const std::string good = dir.Write("g.txt", "P,x,V,1,2\r\n").string();
    const std::string empty = dir.Write("e.txt", "P,x,V,-1\r\n").string();
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{}, 2},
        {{"--kind", "normal", good}, 2},
        {{"--decimals", "7", good}, 2},
        {{"--decimals"}, 2},
        {{"--verbose", good}, 2},
        {{good, empty}, 2},
        {{(dir / "missing.txt").string()}, 1},
        {{"--kind", "general", empty}, 1},
    };
    for (const auto& c : cases) {
        const test::ProgramResult r = SortCount(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_TRUE(OneMessageLine(r.err)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"e.txt", "g.txt"}));
}

TEST(SortCountBatch, ChartIsAPictureOrAClearRefusal) {
    TempFolder dir;
    const std::string file = dir.Write("g.txt", "P,x,V,3,5,3,4,5,5\r\n").string();
    const std::string png = (dir / "view.png").string();
    const test::ProgramResult r = SortCount({"--kind", "general", "--chart", png, file});
    if (r.status != 0) {
        EXPECT_EQ(r.err, "vortel sortcount: --chart: this vortel was built without charts\n");
        return;
    }
    EXPECT_EQ(ReadAll(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    // A name ending in .svg asks for a drawing, whose texts stay text.
    const std::string svg = (dir / "view.svg").string();
    ASSERT_EQ(SortCount({"--kind", "general", "--chart", svg, file}).status, 0);
    const std::string drawing = ReadAll(svg);
    EXPECT_NE(drawing.find("<svg"), std::string::npos);
    EXPECT_NE(drawing.find("Frequency distribution"), std::string::npos);

    // PBT and CPT results are sorted and counted but offer no view. The refused chart takes the
    // three files with it: what stood under their names before is put back.
    const std::string results = dir.Write("r.txt", "T,x,9,x,2,V,A,1,p,q\r\n1\r\n2\r\n").string();
    const test::ProgramResult first = SortCount({"--kind", "results", results});
    ASSERT_EQ(first.status, 0) << first.err;
    std::vector<std::string> written;
    for (std::size_t at = 0, end; (end = first.out.find('\n', at)) != std::string::npos;
         at = end + 1)
        written.push_back(first.out.substr(at, end - at));
    ASSERT_EQ(written.size(), 3u);
    for (const auto& f : written) std::ofstream(f, std::ios::binary) << "earlier";
    const auto before = dir.Files();
    const test::ProgramResult none =
        SortCount({"--kind", "results", "--chart", png + "2", results});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no frequency view"), std::string::npos) << none.err;
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(dir.Files(), before);
    for (const auto& f : written) EXPECT_EQ(ReadAll(f), "earlier") << f;
}

}  // namespace
}  // namespace vortel
