#include <gtest/gtest.h>

#include <sstream>

#include "Patterns.h"
#include "letters/LetterMarking.h"
#include "letters/MarkingRule.h"
#include "shell/base/RunStopped.h"
#include "shell/state/AnalysisState.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

constexpr double Different = 0.01;
constexpr double NotDifferent = 0.6;

// Treatments T1..Tn with small means and SEs, every pair different.
void SetTreatments(AnalysisState& state, int n) {
    state.TreatmentCount = static_cast<std::int16_t>(n);
    for (int k = 1; k <= n; ++k) {
        state.TreatmentName(k) = "T" + std::to_string(k);
        state.OriginalMean(k) = 10 - k;
        state.TreatmentSE(k) = 0.5;
        for (int j = 1; j <= n; ++j) state.PValue(k, j) = Different;
    }
}

void SetP(AnalysisState& state, int i, int j, double p) {
    state.PValue(i, j) = p;
    state.PValue(j, i) = p;
}

// Both halves of the P-value table; `different` for the pairs that differ.
void SetPattern(AnalysisState& state, const NotDifferentPairs& pairs,
                double different = Different) {
    for (int i = 1; i <= pairs.Count(); ++i) {
        for (int j = i + 1; j <= pairs.Count(); ++j)
            SetP(state, i, j, pairs(i, j) ? NotDifferent : different);
    }
}

std::string Section(AnalysisState& state) {
    std::ostringstream text;
    {
        TextWriter out(text);
        PrintLetterMarkingSection(state, state, state, out);
    }
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

struct Row {
    std::string name;
    std::string marking;  // from column 65 on: " ab"
};

// The rows between the second and the third rule line.
std::vector<Row> Rows(const std::string& text) {
    const auto lines = Lines(text);
    const std::string rule = " " + std::string(75, '-');
    std::vector<Row> rows;
    int rules = 0;
    for (const auto& line : lines) {
        if (line == rule) {
            ++rules;
            continue;
        }
        if (rules != 1) continue;
        EXPECT_GE(line.size(), 65u) << line;
        rows.push_back({line.substr(1, line.find(' ', 1) - 1), line.substr(64)});
    }
    EXPECT_EQ(rules, 2);
    return rows;
}

std::vector<std::string> Markings(const std::vector<Row>& rows) {
    std::vector<std::string> marks;
    for (const auto& r : rows) marks.push_back(r.marking);
    return marks;
}

TEST(LetterMarkingSection, MatchesTheReportText) {
    AnalysisState state;
    SetTreatments(state, 3);
    state.TreatmentName(1) = "Cabbage";
    state.TreatmentName(2) = "Kale";
    state.TreatmentName(3) = "Radish";
    state.OriginalMean(1) = 0.2345;
    state.OriginalMean(2) = 0.2101;
    state.OriginalMean(3) = -0.0125;
    state.TreatmentSE(1) = 0.0043;
    state.TreatmentSE(2) = 0.0051;
    state.TreatmentSE(3) = 0.0049;
    SetP(state, 1, 2, 0.2);
    SetP(state, 1, 3, 0.01);
    SetP(state, 2, 3, 0.3);
    state.TableNumber = 6;

    EXPECT_EQ(Section(state), test::ReadAll(test::DataFile("letters/ThreeTreatmentsSection.txt")));
    EXPECT_EQ(state.TableNumber, 7);
}

TEST(LetterMarkingSection, PrintsTheMarkingsOfTheirPatterns) {
    const struct {
        int n;
        std::string notDifferent;
        std::vector<std::string> marks;
    } cases[] = {
        {2, "", {" a", " b"}},
        {2, "1-2", {" a", " a"}},
        {3, "1-2 2-3", {" a", " ab", " b"}},
        {3, "1-3 2-3", {" a", " b", " ab"}},
        {4, "", {" a", " b", " c", " d"}},
        {4, "1-2 1-3 1-4 2-3 2-4 3-4", {" a", " a", " a", " a"}},
        {4, "1-2 1-3", {" ab", " a", " b", " c"}},
        {4, "1-2 1-4 2-4", {" a", " a", " b", " a"}},
        {4, "1-3 1-4", {" ac", " b", " a", " c"}},
        {4, "1-4 2-3 2-4 3-4", {" a", " b", " b", " ab"}},
        {4, "1-2 2-3 3-4", {" a", " ab", " bc", " c"}},
        // The patterns whose printed marking is not the rule's.
        {4, "1-2 1-3 1-4 2-4", {" abc", " ac", " b", " c"}},
        {4, "1-2 1-3 1-4 3-4", {" abc", " a", " bc", " c"}},
        {4, "1-2 1-4 2-4 3-4", {" ac", " ac", " b", " bc"}},
        {4, "1-3 2-4", {" a", " bc", " a", " c"}},
        {4, "1-4 2-3 2-4", {" a", " bc", " c", " ab"}},
        {4, "1-4 2-3", {" a", " bc", " c", " a"}},
        {5, "", {" a", " b", " c", " d", " e"}},
        {5, "1-2 1-3 1-4 1-5 2-3 2-4 2-5 3-4 3-5 4-5", {" a", " a", " a", " a", " a"}},
        {5, "1-2 2-3 3-4 4-5", {" a", " ab", " bc", " cd", " d"}},
        {5, "1-2 2-3 3-4 4-5 1-5", {" ad", " ab", " bc", " ce", " de"}},
        {5, "1-3 1-5 2-3 2-5 3-4 4-5", {" ad", " be", " abc", " cf", " def"}},
        {5, "1-2 1-4 2-5 3-4 3-5 4-5", {" ad", " ac", " b", " bd", " bc"}},
        {5, "1-2 1-4 2-4 2-5 3-5", {" a", " ac", " b", " a", " cb"}},
        {5, "1-2 1-3 1-4 1-5 2-5", {" abcd", " ad", " b", " c", " d"}},
        {5, "1-2 1-4 1-5 2-3 2-4 2-5 3-4 3-5 4-5", {" ac", " abc", " b", " bc", " bc"}},
        {5, "1-2 1-3 1-5 2-4 2-5 3-4 3-5 4-5", {" ab", " ac", " bd", " cd", " bc"}},
    };
    for (const auto& c : cases) {
        AnalysisState state;
        SetTreatments(state, c.n);
        SetPattern(state, test::Pattern(c.n, c.notDifferent));
        EXPECT_EQ(Markings(Rows(Section(state))), c.marks)
            << c.n << " treatments, not different: " << c.notDifferent;
    }
}

TEST(LetterMarkingSection, CountsAPValueOfFiveHundredthsAsDifferent) {
    const struct {
        double p;
        std::string second;
    } cases[] = {{0.05, " b"}, {0.0500001, " a"}, {0.0, " b"}, {1.0, " a"}};
    for (const auto& c : cases) {
        AnalysisState state;
        SetTreatments(state, 2);
        SetP(state, 1, 2, c.p);
        EXPECT_EQ(Markings(Rows(Section(state))), (std::vector<std::string>{" a", c.second}))
            << "P = " << c.p;
    }
}

// Reading the wrong half of the P-value table would show here: only (later, earlier) is set.
TEST(LetterMarkingSection, ReadsTheLaterTreatmentFirst) {
    AnalysisState state;
    SetTreatments(state, 5);
    state.PValue(2, 1) = NotDifferent;  // the (1, 2) half stays different
    state.PValue(5, 4) = NotDifferent;
    EXPECT_EQ(Markings(Rows(Section(state))),
              (std::vector<std::string>{" a", " a", " b", " c", " c"}));
}

// Every pattern of four and five treatments through the printed section: each row once,
// treatment 1 first, and the marking the table holds for the pattern.
TEST(LetterMarkingSection, PrintsEveryRowOnceForEveryPattern) {
    for (int n = 4; n <= 5; ++n) {
        for (unsigned bits = 0; bits < test::PatternCount(n); ++bits) {
            AnalysisState state;
            SetTreatments(state, n);
            const NotDifferentPairs pairs = test::PatternNumber(n, bits);
            SetPattern(state, pairs, 0.05);
            const auto rows = Rows(Section(state));
            const std::string what = "not different: " + pairs.Describe();
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(n)) << what;
            for (int k = 1; k <= n; ++k) {
                EXPECT_EQ(rows[static_cast<std::size_t>(k - 1)].name, "T" + std::to_string(k))
                    << what;
            }
            std::vector<std::string> expected;
            for (const auto& m : LetterMarking(pairs)) expected.push_back(" " + m);
            ASSERT_EQ(Markings(rows), expected) << what;
        }
    }
}

// Tables built from the results take their letters from the same choice of marking as the
// printed rows, for every pattern of two to five treatments.
TEST(TreatmentMarkings, AreTheLettersTheSectionPrints) {
    for (int n = 2; n <= 5; ++n) {
        for (unsigned bits = 0; bits < test::PatternCount(n); ++bits) {
            AnalysisState state;
            SetTreatments(state, n);
            SetPattern(state, test::PatternNumber(n, bits), 0.05);
            std::vector<std::string> printed;
            for (const auto& m : Markings(Rows(Section(state)))) printed.push_back(m.substr(1));
            ASSERT_EQ(TreatmentMarkings(state, state), printed)
                << n << " treatments, pattern " << bits;
        }
    }
    // Past five: the compact display's letters, for scattered patterns of six and eight.
    for (int n : {6, 8}) {
        for (unsigned draw = 0; draw < 64; ++draw) {
            AnalysisState state;
            SetTreatments(state, n);
            const unsigned bits = draw * 2654435761u;
            for (int i = 1; i <= n; ++i)
                for (int j = i + 1; j <= n; ++j)
                    SetP(state, i, j, (bits >> ((i * n + j) % 31)) & 1u ? NotDifferent : Different);
            std::vector<std::string> printed;
            for (const auto& m : Markings(Rows(Section(state)))) printed.push_back(m.substr(1));
            ASSERT_EQ(TreatmentMarkings(state, state), printed)
                << n << " treatments, draw " << draw;
        }
    }
}

// A member stands for its outcome of the pairs with treatment 1, whatever the P-values say.
TEST(PrintPairTestTable5Treats, TakesThePairsWithTreatmentOneFromTheMember) {
    AnalysisState state;
    SetTreatments(state, 5);  // every pair different
    std::ostringstream text;
    {
        TextWriter out(text);
        PrintPairTestTable5Treats(MarkingInputOf(state, state), out,
                                  14);  // A14: 1-2 and 1-5 not different
    }
    std::vector<std::string> marks;
    for (const auto& line : Lines(text.str())) marks.push_back(line.substr(64));
    EXPECT_EQ(marks, (std::vector<std::string>{" ad", " a", " b", " c", " d"}));
}

TEST(LetterMarkingSection, PrintsNoRowsForFewerThanTwoTreatments) {
    for (int n : {0, 1, -3}) {
        AnalysisState state;
        SetTreatments(state, n < 0 ? 0 : n);
        state.TreatmentCount = static_cast<std::int16_t>(n);
        const auto lines = Lines(Section(state));
        EXPECT_EQ(lines.size(), 11u) << n;  // heading, six notes, three rules, column heading
        EXPECT_TRUE(Rows(Section(state)).empty()) << n;
    }
}

TEST(LetterMarkingSection, StopsBeforeTheTableNumberOverflows) {
    AnalysisState state;
    SetTreatments(state, 2);
    state.TableNumber = 32766;
    EXPECT_NE(Section(state).find(" Table 32767. "), std::string::npos);
    EXPECT_THROW(Section(state), RunStopped);
    EXPECT_EQ(state.TableNumber, 32767);
}

// Six treatments and more: the compact letter display in the same frame, under notes that say
// how its letters are made.
TEST(LetterMarkingSection, MarksSixOrMoreTreatmentsWithTheLetterDisplay) {
    AnalysisState state;
    SetTreatments(state, 6);
    for (const char* pair : {"1-2", "1-3", "2-3", "2-4", "3-4", "4-5"})
        SetP(state, pair[0] - '0', pair[2] - '0', NotDifferent);
    state.TableNumber = 6;
    EXPECT_EQ(Section(state),
              test::CrLf({
                  " Table 7. Preliminary table of differences between treatments.",
                  " Treatments that share a letter do not differ significantly (P > 0.05).",
                  " The letters are a compact letter display made by insertion and absorption",
                  " (Piepho 2004): every pair is marked, and no letter could be left out.",
                  " " + std::string(75, '='),
                  " Treatment     Original                 SE                      Difference",
                  " " + std::string(75, '-'),
                  " T1            9                        0.5                      a",
                  " T2            8                        0.5                      ab",
                  " T3            7                        0.5                      ab",
                  " T4            6                        0.5                      bc",
                  " T5            5                        0.5                      c",
                  " T6            4                        0.5                      d",
                  " " + std::string(75, '-'),
              }));
}

// Every row once, in order, for counts up to the most a test holds, with a P-value of 0.05
// counting as different as for fewer treatments.
TEST(LetterMarkingSection, MarksEveryRowOfUpToTwentyTreatments) {
    for (int n = 6; n <= MostTreatments; ++n) {
        AnalysisState state;
        SetTreatments(state, n);
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j) SetP(state, i, j, j - i <= 2 ? NotDifferent : 0.05);
        const auto rows = Rows(Section(state));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(n));
        for (int k = 1; k <= n; ++k) {
            const auto& mark = rows[static_cast<std::size_t>(k - 1)].marking;
            EXPECT_EQ(rows[static_cast<std::size_t>(k - 1)].name, "T" + std::to_string(k));
            // Groups of three neighbours: the k-th group starts at treatment k.
            const int first = std::max(1, k - 2), last = std::min(k, n - 2);
            std::string expected = " ";
            for (int g = first; g <= last; ++g) expected += static_cast<char>('a' + g - 1);
            EXPECT_EQ(mark, expected) << n << " treatments, row " << k;
        }
    }
}

// A pattern that needs more letters than there are: the rows keep their treatments and values
// and the notes send the reader to the P-values.
TEST(LetterMarkingSection, SaysSoWhenTheLettersRunOut) {
    AnalysisState state;
    SetTreatments(state, 16);
    for (int i = 1; i <= 8; ++i)
        for (int j = 9; j <= 16; ++j) SetP(state, i, j, NotDifferent);
    const auto lines = Lines(Section(state));
    ASSERT_EQ(lines.size(), 4u + 3u + 16u + 1u);
    EXPECT_EQ(lines[2],
              " These treatments would need more letters than the 52 of a to z and A to Z;");
    EXPECT_EQ(lines[3], " the P-values of the tables above give every pair.");
    for (int k = 1; k <= 16; ++k) {
        const std::string& row = lines[static_cast<std::size_t>(6 + k)];
        EXPECT_EQ(row.rfind(" T" + std::to_string(k) + " ", 0), 0u) << row;
        EXPECT_EQ(row.substr(row.size() - 5), " 0.5 ") << row;
    }
}

// The record holds MostTreatments, so a larger count stops with a message instead of
// printing past the tables.
TEST(LetterMarkingSection, StopsOnMoreTreatmentsThanTheRecordHolds) {
    AnalysisState state;
    SetTreatments(state, MostTreatments);
    state.TreatmentCount = MostTreatments + 1;
    EXPECT_THROW(Section(state), RunStopped);
}

}  // namespace
}  // namespace vortel
