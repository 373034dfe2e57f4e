#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <sstream>

#include "letters/CompactLetterDisplay.h"
#include "shell/base/RunStopped.h"

namespace vortel {
namespace {

// Every pair of n treatments different, except the pairs listed (counted from 1, as in the
// report: "1-2 3-4").
DifferenceMatrix Differs(int n, const std::string& notDifferent = "") {
    DifferenceMatrix d(static_cast<std::size_t>(n),
                       std::vector<bool>(static_cast<std::size_t>(n), true));
    std::istringstream in(notDifferent);
    int i = 0, j = 0;
    char dash = 0;
    while (in >> i >> dash >> j) {
        d[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = false;
        d[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)] = false;
    }
    return d;
}

// The letters of treatments 1..n, as the report prints them.
std::vector<std::string> Marks(const DifferenceMatrix& differs) {
    const auto marks =
        TreatmentLetters(CompactLetterDisplay(differs), static_cast<int>(differs.size()));
    return marks ? *marks : std::vector<std::string>{"(unnamed)"};
}

bool Holds(LetterMembers letter, int t) { return ((letter >> t) & 1u) != 0; }

// The first promise of the display that the letters break, or "" when they keep them all.
std::string Broken(const DifferenceMatrix& differs, const std::vector<LetterMembers>& letters) {
    const int n = static_cast<int>(differs.size());
    // shared[a][b]: letters held by both; shared[t][t]: letters held by t.
    std::vector<std::vector<int>> shared(static_cast<std::size_t>(n),
                                         std::vector<int>(static_cast<std::size_t>(n)));
    auto at = [&](int a, int b) -> int& {
        return shared[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
    };
    for (std::size_t k = 0; k < letters.size(); ++k) {
        if (letters[k] == 0) return "letter " + std::to_string(k) + " is held by none";
        if (n < 64 && (letters[k] >> n) != 0) return "letter " + std::to_string(k) + " beyond n";
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b) at(a, b) += Holds(letters[k], a) && Holds(letters[k], b);
    }
    for (int t = 0; t < n; ++t)
        if (at(t, t) == 0) return "treatment " + std::to_string(t + 1) + " has no letter";
    for (int a = 0; a < n; ++a) {
        for (int b = a + 1; b < n; ++b) {
            if ((at(a, b) > 0) == differs[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)])
                return "pair " + std::to_string(a + 1) + "-" + std::to_string(b + 1) +
                       (at(a, b) > 0 ? " differs but shares a letter"
                                     : " does not differ but shares no letter");
        }
    }
    // Every letter a largest group, and none spare: dropping it must lose a pair or leave a
    // treatment without letters.
    for (std::size_t k = 0; k < letters.size(); ++k) {
        for (int t = 0; t < n; ++t) {
            bool joins = !Holds(letters[k], t);
            for (int m = 0; m < n && joins; ++m)
                joins = !Holds(letters[k], m) ||
                        !differs[static_cast<std::size_t>(t)][static_cast<std::size_t>(m)];
            if (joins)
                return "treatment " + std::to_string(t + 1) + " could join letter " +
                       std::to_string(k);
        }
        bool spare = true;
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                if (Holds(letters[k], a) && Holds(letters[k], b) && at(a, b) < 2) spare = false;
        if (spare) return "letter " + std::to_string(k) + " could be dropped";
    }
    if (!letters.empty() && !Holds(letters[0], 0)) return "treatment 1 lacks the first letter";
    for (std::size_t k = 1; k < letters.size(); ++k) {
        if (std::countr_zero(letters[k]) < std::countr_zero(letters[k - 1]))
            return "letter " + std::to_string(k) + " first appears above the letter before it";
    }
    return "";
}

std::string Describe(const DifferenceMatrix& differs) {
    std::string text = "not different:";
    for (std::size_t i = 0; i < differs.size(); ++i)
        for (std::size_t j = i + 1; j < differs.size(); ++j)
            if (!differs[i][j])
                text.append(" ")
                    .append(std::to_string(i + 1))
                    .append("-")
                    .append(std::to_string(j + 1));
    return text;
}

TEST(CompactLetterDisplay, GivesTheHandWorkedLetters) {
    const struct {
        int n;
        std::string notDifferent;
        std::vector<std::string> marks;
    } cases[] = {
        {6, "", {"a", "b", "c", "d", "e", "f"}},
        {6,
         "1-2 1-3 1-4 1-5 1-6 2-3 2-4 2-5 2-6 3-4 3-5 3-6 4-5 4-6 5-6",
         {"a", "a", "a", "a", "a", "a"}},
        // A staircase of overlapping groups, as neighbouring means give.
        {7, "1-2 1-3 2-3 2-4 3-4 4-5 6-7", {"a", "ab", "ab", "bc", "c", "d", "d"}},
        // Letters start in order down the table even when a later treatment joins treatment 1.
        {6, "1-6 2-3 4-5", {"a", "b", "b", "c", "c", "a"}},
        // Insertion and absorption leave the group 1 2 3, all of whose pairs the other three
        // groups hold: the sweep drops it.
        {6, "1-2 1-3 2-3 1-4 2-4 2-5 3-5 1-6 3-6", {"ab", "ac", "bc", "a", "c", "b"}},
        // Treatment 3 could do without letter a, yet a marks the largest group 1 2 3 and
        // holds the pair 1-2 alone, so it stays whole.
        {6, "1-2 1-3 2-3 1-4 3-4 2-5 3-5", {"ab", "ac", "abc", "b", "c", "d"}},
    };
    for (const auto& c : cases) {
        const DifferenceMatrix d = Differs(c.n, c.notDifferent);
        EXPECT_EQ(Marks(d), c.marks) << Describe(d);
        EXPECT_EQ(Broken(d, CompactLetterDisplay(d)), "") << Describe(d);
    }
}

// All 32768 significance patterns of six treatments, and every pattern of fewer.
TEST(CompactLetterDisplay, KeepsItsPromisesForEveryPatternOfUpToSixTreatments) {
    for (int n = 0; n <= 6; ++n) {
        const int pairs = n * (n - 1) / 2;
        for (unsigned bits = 0; bits < (1u << pairs); ++bits) {
            DifferenceMatrix d(static_cast<std::size_t>(n),
                               std::vector<bool>(static_cast<std::size_t>(n)));
            unsigned b = 0;
            for (std::size_t i = 0; i < d.size(); ++i) {
                for (std::size_t j = i + 1; j < d.size(); ++j, ++b)
                    d[i][j] = d[j][i] = ((bits >> b) & 1u) != 0;
            }
            ASSERT_EQ(Broken(d, CompactLetterDisplay(d)), "") << Describe(d);
        }
    }
}

// Random patterns of 7 to 20 treatments at several shares of differing pairs, and patterns in
// which only treatments with close means fail to differ, as sorted means give.
TEST(CompactLetterDisplay, KeepsItsPromisesForRandomPatternsOfUpToTwentyTreatments) {
    std::mt19937 engine(20041216);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 7; n <= 20; ++n) {
        for (int round = 0; round < 60; ++round) {
            const double share = (round % 5 + 0.5) / 5;  // of differing pairs
            const bool staircase = round % 2 == 1;
            const int reach = 1 + round % 4;
            DifferenceMatrix d(static_cast<std::size_t>(n),
                               std::vector<bool>(static_cast<std::size_t>(n)));
            for (int i = 0; i < n; ++i) {
                for (int j = i + 1; j < n; ++j) {
                    const bool differ = staircase ? j - i > reach || unit(engine) < share / 4
                                                  : unit(engine) < share;
                    d[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = differ;
                    d[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = differ;
                }
            }
            ASSERT_EQ(Broken(d, CompactLetterDisplay(d)), "") << Describe(d);
        }
    }
}

// Twenty treatments in six groups of three and one of two, differing only within a group: the
// not-different pairs form 1458 largest groups, which the display must thin out to letters
// that each hold a pair no other letter holds.
TEST(CompactLetterDisplay, ThinsOutThousandsOfGroups) {
    const int n = 20;
    DifferenceMatrix d(n, std::vector<bool>(n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            d[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = i != j && i / 3 == j / 3;
    EXPECT_EQ(Broken(d, CompactLetterDisplay(d)), "");
}

TEST(TreatmentLetters, NamesFiftyTwoLettersAndNoMore) {
    EXPECT_EQ(LetterName(0), 'a');
    EXPECT_EQ(LetterName(25), 'z');
    EXPECT_EQ(LetterName(26), 'A');
    EXPECT_EQ(LetterName(51), 'Z');
    EXPECT_THROW(LetterName(52), RunStopped);

    // Not different exactly across two halves: every such pair needs a letter of its own.
    auto halves = [](int first, int second) {
        const int n = first + second;
        DifferenceMatrix d(static_cast<std::size_t>(n),
                           std::vector<bool>(static_cast<std::size_t>(n)));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                d[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                    (i < first) == (j < first);
        return d;
    };
    const auto thirty = CompactLetterDisplay(halves(6, 5));
    ASSERT_EQ(thirty.size(), 30u);
    const auto marks = TreatmentLetters(thirty, 11);
    ASSERT_TRUE(marks);
    EXPECT_EQ((*marks)[0], "abcde");
    EXPECT_EQ((*marks)[5], "zABCD");
    EXPECT_EQ((*marks)[6], "afkpuz");
    EXPECT_EQ((*marks)[10], "ejotyD");

    const auto sixtyFour = CompactLetterDisplay(halves(8, 8));
    EXPECT_EQ(Broken(halves(8, 8), sixtyFour), "");
    EXPECT_EQ(sixtyFour.size(), 64u);
    EXPECT_FALSE(TreatmentLetters(sixtyFour, 16));
}

TEST(CompactLetterDisplay, RefusesWhatItCannotHold) {
    EXPECT_TRUE(CompactLetterDisplay({}).empty());
    EXPECT_EQ(CompactLetterDisplay({{false}}), (std::vector<LetterMembers>{1}));
    EXPECT_THROW(CompactLetterDisplay({{false, true}, {true}}), RunStopped);
    EXPECT_THROW(CompactLetterDisplay(DifferenceMatrix(65, std::vector<bool>(65))), RunStopped);
    EXPECT_EQ(CompactLetterDisplay(DifferenceMatrix(64, std::vector<bool>(64))),
              (std::vector<LetterMembers>{~LetterMembers{0}}));
}

}  // namespace
}  // namespace vortel
