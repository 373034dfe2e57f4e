// The differences figure drawn without a window toolkit.
#include <gtest/gtest.h>

#include <string>

#include "report/DifferencesSvg.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

// One panel per pair, every mark drawn, and names from the data escaped so that the drawing
// stays well-formed whatever a treatment is called.
TEST(DifferencesSvg, PanelsMarksAndEscapedNames) {
    PairDifferences a;
    a.Minuend = "Tomato <A&B>";
    a.Subtrahend = "\"Pepper\"";
    a.Mean = 0.004, a.TLower = -0.011, a.TUpper = 0.019;
    a.PercentileLower = -0.010, a.PercentileUpper = 0.019, a.P = 0.5952;
    a.Histogram = {{-0.02, 0, 0.02, 0.04}, {10, 30, 5}};
    PairDifferences b = a;
    b.Minuend = "Eggplant";
    // Every difference equal: one bin of no width still draws.
    b.Histogram = {{0.01, 0.01}, {40}};
    const std::string svg = DifferencesFigureSvg({a, b, a});
    EXPECT_EQ(test::CountOf(svg, "<g transform=\"translate("), 3u);
    EXPECT_NE(svg.find("Tomato &lt;A&amp;B&gt; \xe2\x88\x92 &quot;Pepper&quot;"),
              std::string::npos);
    EXPECT_EQ(svg.find("<A&B>"), std::string::npos);
    // Per panel: 0, the mean, and two lines for each interval; and once more each in the key.
    EXPECT_EQ(test::CountOf(svg, "<line "), 3u * 6 + 4);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

// A long name is cut short in its panel's title, after whole characters, so the P-value stays in
// the panel; the panel's own <title> keeps the whole name. A name that fits is left alone.
TEST(DifferencesSvg, LongNamesCutShortInTitles) {
    PairDifferences p;
    p.Minuend = "Tomato";
    p.Subtrahend = "\xc3\xa9" + std::string(30, 'x');  // 31 characters, the first of two bytes
    p.P = 0.25;
    p.Histogram = {{0, 1}, {4}};
    const std::string svg = DifferencesFigureSvg({p});
    const std::string cut =
        "Tomato \xe2\x88\x92 \xc3\xa9" + std::string(18, 'x') + "\xe2\x80\xa6  (P = 0.25)";
    EXPECT_NE(svg.find(">" + cut + "</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<title>Tomato \xe2\x88\x92 " + p.Subtrahend + "  (P = 0.25)</title>"),
              std::string::npos);
    p.Subtrahend = std::string(20, 'y');
    EXPECT_EQ(test::CountOf(DifferencesFigureSvg({p}), "<title>"), 1u);  // the drawing's own only
}

}  // namespace
}  // namespace vortel
