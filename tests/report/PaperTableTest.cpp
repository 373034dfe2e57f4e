// The table and the figure for a manuscript, from hand-made results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "report/DifferencesSvg.h"
#include "report/MeansFigure.h"
#include "report/PaperTable.h"
#include "report/ParameterTable.h"
#include "shell/base/RunStopped.h"
#include "shell/base/TableReader.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

struct Treatment {
    std::string Name;
    double Original, SE;
    std::string Letters;
};

// A result of the treatments in report order; pairs differ (P = 0.01) exactly when they share
// no letter, else P = 0.4.
CartesianResult Result(const std::vector<Treatment>& ts, const std::string& parameter = "r") {
    CartesianResult r;
    r.Parameter = parameter;
    for (const Treatment& t : ts) {
        TreatmentResult tr;
        tr.Name = t.Name;
        tr.SampleSize = 40;
        tr.BootstrapNumber = 2000;
        tr.Original = t.Original;
        tr.SE = t.SE;
        tr.Letters = t.Letters;
        tr.PercentileLower = t.Original - 2 * t.SE;
        tr.PercentileUpper = t.Original + 2 * t.SE;
        r.Treatments.push_back(tr);
    }
    const int n = static_cast<int>(ts.size());
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            PairResult p;
            p.I = p.Minuend = i;
            p.J = p.Subtrahend = j;
            const bool share =
                ts[static_cast<std::size_t>(i - 1)].Letters.find_first_of(
                    ts[static_cast<std::size_t>(j - 1)].Letters) != std::string::npos;
            p.P = share ? 0.4 : 0.01;
            p.AtFivePercent = !share;
            r.Pairs.push_back(p);
        }
    const double pairs = static_cast<double>(r.Pairs.size());
    r.SidakAlpha = 1 - std::pow(0.95, 1 / pairs);
    return r;
}

const std::vector<Treatment> Three = {
    {"Tomato", 0.2306, 0.0051, "a"},
    {"A&B_1 <x>", 0.2255, 0.0056, "a"},
    {"Cabbage", 0.1778, 0.0044, "b"},
};

// The fewest decimals at which the pairs the letters call different print differently and no
// SE prints as 0.
TEST(PaperTable, DecimalsShowTheSmallestRealDifference) {
    struct Case {
        std::vector<Treatment> ts;
        int decimals;
    };
    const Case cases[] = {
        // 0.2306 and 0.2255 differ: 0.23 twice would hide it.
        {{{"A", 0.2306, 0.0051, "a"}, {"B", 0.2255, 0.0056, "b"}}, 3},
        // The same pair not different: the SE alone asks for two decimals.
        {{{"A", 0.2306, 0.0051, "a"}, {"B", 0.2255, 0.0056, "a"}}, 2},
        {{{"A", 52.31, 2.9, "a"}, {"B", 49.84, 3.1, "b"}, {"C", 30.47, 2.2, "c"}}, 0},
        {{{"A", 52.31, 0.04, "a"}, {"B", 52.36, 3.1, "b"}}, 2},
        // Equal estimates cannot be told apart at any number of decimals; a zero SE is no SE.
        {{{"A", 1.5, 0, "a"}, {"B", 1.5, 0, "b"}}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PaperDecimals(Result(c.ts)), c.decimals);
    EXPECT_EQ(FixedDecimals(-0.0001, 2), "0.00");
    EXPECT_EQ(FixedDecimals(-0.25, 1), "-0.2");
}

// Every format: every treatment in order with its estimate +- SE and letters, the same number of
// decimals throughout, names escaped for the format, and the caption saying what the letters
// mean.
TEST(PaperTable, EveryFormatHoldsEachTreatmentAndItsLetters) {
    const CartesianResult r = Result(Three);
    struct Case {
        PaperFormat format;
        std::vector<std::string> parts;  // in this order
    };
    const Case cases[] = {
        {PaperFormat::Csv,
         {"parameter,transformation,treatment,n,B,estimate,SE,letters,percentile_lower,"
          "percentile_upper\r\n",
          "r,none,Tomato,40,2000,0.231,0.005,a,0.220,0.241\r\n", "r,none,A&B_1 <x>,40",
          "r,none,Cabbage,40,2000,0.178,0.004,b,"}},
        {PaperFormat::Markdown,
         {"Table: r of each treatment", "| Treatment | n | r \xc2\xb1 SE | B | 95 % interval |",
          "| Tomato | 40 | 0.231 \xc2\xb1 0.005 a | 2000 | \\[0.220, 0.241\\] |",
          "| A&B\\_1 \\<x> |", "| Cabbage | 40 | 0.178 \xc2\xb1 0.004 b |"}},
        {PaperFormat::Html,
         {"<meta charset=\"utf-8\">", "r of each treatment", "<table style=", "1.5pt solid",
          ">Tomato</td>", ">0.231&nbsp;\xc2\xb1&nbsp;0.005 a</td>", ">A&amp;B_1 &lt;x&gt;</td>",
          "border-bottom:1.5pt solid #000000\">Cabbage</td>", "</table>"}},
        {PaperFormat::Latex,
         {"\\caption{r of each treatment", "\\toprule", "Treatment & n & r $\\pm$ SE", "\\midrule",
          "Tomato & $40$ & $0.231 \\pm 0.005$ a & $2000$ & $[0.220, 0.241]$ \\\\",
          "A\\&B\\_1 \\textless{}x\\textgreater{} &", "\\bottomrule"}},
    };
    for (const Case& c : cases) {
        const std::string t = PaperTableOf(r, c.format);
        std::size_t at = 0;
        for (const std::string& part : c.parts) {
            const std::size_t found = t.find(part, at);
            ASSERT_NE(found, std::string::npos) << part << "\n" << t;
            at = found + part.size();
        }
        if (c.format != PaperFormat::Csv) {
            // "P > 0.05", the ">" as each format writes it.
            EXPECT_NE(t.find("Means followed by the same letter do not differ (Cartesian paired "
                             "test, P "),
                      std::string::npos)
                << t;
            EXPECT_NE(t.find(" 0.05); "), std::string::npos) << t;
            EXPECT_NE(t.find(c.format == PaperFormat::Latex ? "\\v{S}id\\'ak level for the 3 "
                                                              "pairs is 0.017"
                                                            : "\xc5\xa0id\xc3\xa1k level for the "
                                                              "3 pairs is 0.017"),
                      std::string::npos)
                << t;
        }
    }
    // Asked for: every number with that many decimals.
    EXPECT_NE(PaperTableOf(r, PaperFormat::Csv, 1).find(",0.2,0.0,a,0.2,0.2\r\n"),
              std::string::npos);
}

// Letters that do not say what the P-values say, or no letters at all, are not passed off as
// the test's verdict.
TEST(PaperTable, NotesLettersThatDoNotMarkEveryPair) {
    CartesianResult r = Result(Three);
    EXPECT_TRUE(PaperNotes(r).empty());
    r.Pairs[0].AtFivePercent = true;  // Tomato and A&B share "a" but differ
    ASSERT_EQ(PaperNotes(r).size(), 1u);
    EXPECT_NE(PaperNotes(r)[0].find("pair Tomato, A&B_1 <x>"), std::string::npos);
    for (auto& t : r.Treatments) t.Letters.clear();
    ASSERT_EQ(PaperNotes(r).size(), 1u);
    EXPECT_NE(PaperTableOf(r, PaperFormat::Markdown).find("No letters"), std::string::npos);
}

// Under a transformation the estimate stands on the scale of its SE and interval.
TEST(PaperTable, TransformedTestsShowTheComparedScale) {
    CartesianResult r = Result({{"A", 0.25, 0.01, "a"}, {"B", 0.5, 0.01, "b"}}, "survival");
    r.Transform = Transformation::Logit;
    const std::string t = PaperTableOf(r, PaperFormat::Csv, 4);
    EXPECT_NE(t.find("survival,logit,A,40,2000,-1.0986,0.0100,a"), std::string::npos) << t;
    EXPECT_NE(t.find("survival,logit,B,40,2000,0.0000,"), std::string::npos) << t;
    EXPECT_NE(PaperCaption(r).find("on the logit scale"), std::string::npos);
}

// The figure: one group per treatment in report order, each with its letters and name as text,
// sized for the column asked for.
TEST(MeansFigure, LettersNamesAndSizes) {
    const CartesianResult r = Result(Three);
    const std::string points = MeansFigureSvg(r);
    EXPECT_NE(points.find("width=\"85mm\""), std::string::npos);
    EXPECT_EQ(test::CountOf(points, "<circle "), 3u);
    std::size_t at = 0;
    for (const Treatment& t : Three) {
        at = points.find("class=\"letters\">" + t.Letters + "</text>", at);
        ASSERT_NE(at, std::string::npos) << t.Name;
    }
    EXPECT_NE(points.find(">A&amp;B_1 &lt;x&gt;</text>"), std::string::npos);
    const std::string bars = MeansFigureSvg(r, {MeansStyle::Bars, FigureColumn::Double});
    EXPECT_NE(bars.find("width=\"175mm\""), std::string::npos);
    EXPECT_EQ(test::CountOf(bars, "<circle "), 0u);
    EXPECT_EQ(test::CountOf(bars, "<rect "), 3u);
    EXPECT_NEAR(MeansFigureSize(r, {}).Width, 85, 1e-9);
    EXPECT_EQ(points.rfind("</svg>\n"), points.size() - 7);
}

// Both figures of the core are XML that a parser reads, whatever the treatments are called.
TEST(MeansFigure, DrawingsAreWellFormedXml) {
    const CartesianResult r = Result({{"Tomato \"<&>\"", 0.2, 0.01, "a"},
                                      {"Pepper with a very long name indeed", 0.1, 0.01, "b"},
                                      {"\xc3\x9c", -0.1, 0.02, "b"}});
    PairDifferences d;
    d.Minuend = "<&>";
    d.Subtrahend = "\"";
    d.Histogram = {{-1, 0, 1}, {3, 4}};
    test::TempFolder folder;
    const std::vector<std::filesystem::path> drawings = {
        folder.Write("points.svg", MeansFigureSvg(r)),
        folder.Write("bars.svg", MeansFigureSvg(r, {MeansStyle::Bars, FigureColumn::Double})),
        folder.Write("differences.svg", DifferencesFigureSvg({d, d}))};
    for (const auto& svg : drawings) {
        const std::string command =
            "python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' \"" +
            svg.string() + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << svg;
    }
}

TestTreatments Read(const std::string& content, const std::string& name = "t.csv") {
    TableReader table(content, name);
    return ReadTestTreatments(table);
}

// Tests aligned by treatment name: a treatment one test lacks gets an empty cell and a note;
// each row has its own decimals.
TEST(ParameterTable, AlignsByNameAndNotesMissingTreatments) {
    TestTreatments r = Read(
        "treatment,original,bootstrap_mean,variance,SE,n,B,letters\r\n"
        "Tomato,0.2306,0,0,0.0051,48,2000,a\r\nPepper,0.2255,0,0,0.0056,45,2000,b\r\n");
    r.Parameter = "r";
    const TestTreatments r0 = Read(
        "parameter,transformation,treatment,n,B,estimate,SE,letters\r\n"
        "R0,none,Cabbage,50,2000,30.47,2.2,b\r\nR0,none,Tomato,48,2000,52.31,2.9,a\r\n");
    EXPECT_EQ(r0.Parameter, "R0");
    const DisplayTable t = ParameterTable({r, r0});
    EXPECT_EQ(t.Header, (std::vector<std::string>{"Parameter", "Tomato", "Pepper", "Cabbage"}));
    ASSERT_EQ(t.Rows.size(), 2u);
    EXPECT_EQ(t.Rows[0][1].Numbers, "0.231 \xc2\xb1 0.005");
    EXPECT_EQ(t.Rows[0][3].Numbers + t.Rows[0][3].Text, "");
    EXPECT_EQ(t.Rows[1][1].Numbers + " " + t.Rows[1][1].Text, "52 \xc2\xb1 3 a");
    EXPECT_EQ(t.Rows[1][2].Numbers, "");
    ASSERT_EQ(t.Notes.size(), 2u);
    EXPECT_EQ(t.Notes[0], "No value of r for Cabbage: \"t.csv\" holds no treatment of that name.");
    EXPECT_EQ(ParameterTable({r}, 1).Rows[0][1].Numbers, "0.2 \xc2\xb1 0.0");
}

// A table that is not a treatments table stops the command with a message naming the file and,
// where one cell is at fault, its row and column.
TEST(ParameterTable, RefusesTablesItCannotRead) {
    const std::string head = "treatment,original,SE,letters\r\n";
    std::string many = head;
    for (int k = 0; k <= 20; ++k) many += "T" + std::to_string(k) + ",1,0.1,a\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "Table \"t.csv\" is empty."},
        {"treatment,value\r\nA,1\r\n", "Table \"t.csv\" has no column original, SE, letters:"},
        {head, "Table \"t.csv\" holds no treatment below its header."},
        {head + "A,0.2,x,a\r\n", "Table \"t.csv\", row 2, column 3 (SE): \"x\" is not a number."},
        {head + "A,,0.1,a\r\n", "row 2, column 2 (original): the cell is empty; it needs"},
        {head + ",0.2,0.1,a\r\n", "row 2, column 1 (treatment): the treatment has no name."},
        {head + "A,1,1,a\r\nA,2,1,b\r\n",
         "row 3, column 1 (treatment): treatment \"A\" appears "
         "twice."},
        {many, "row 22: more than 20 treatments; a test compares at most 20."},
        {head + "\"A,1,1,a\r\n", "Table \"t.csv\""},
    };
    for (const auto& [content, message] : cases) {
        try {
            Read(content);
            ADD_FAILURE() << "read: " << content;
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace vortel
