#include <gtest/gtest.h>

#include <set>

#include "Patterns.h"
#include "letters/MarkingRule.h"

namespace vortel {
namespace {

using test::Pattern;
using test::PatternNumber;

struct Case {
    int n;
    std::string notDifferent;
    std::vector<std::string> letters;
};

// Markings worked out by hand, step by step through the rule. The section tests cover the
// patterns where the printed marking is the rule's.
TEST(MarkingRule, GivesTheHandWorkedLetters) {
    const Case cases[] = {
        // Every pattern of three treatments.
        {3, "", {"a", "b", "c"}},
        {3, "2-3", {"a", "b", "b"}},
        {3, "1-3", {"a", "b", "a"}},
        {3, "1-3 2-3", {"a", "b", "ab"}},
        {3, "1-2", {"a", "a", "b"}},
        {3, "1-2 2-3", {"a", "ab", "b"}},
        {3, "1-2 1-3", {"ab", "a", "b"}},
        {3, "1-2 1-3 2-3", {"a", "a", "a"}},
        // Patterns the table prints otherwise; what the rule itself gives for them.
        {4, "1-2 1-3 1-4 2-4", {"ab", "a", "b", "a"}},
        {4, "1-2 1-3 1-4 3-4", {"ab", "a", "b", "b"}},
        {4, "1-2 1-4 2-4 3-4", {"a", "a", "b", "ab"}},
        {4, "1-3 2-4", {"a", "b", "a", "b"}},
        {4, "1-4 2-3 2-4", {"a", "bc", "b", "ac"}},
        {4, "1-4 2-3", {"a", "b", "b", "a"}},
        {5, "1-2 1-4 2-5 3-4 3-5 4-5", {"ac", "ad", "b", "bc", "bd"}},
        {5, "1-2 1-4 2-4 2-5 3-5", {"a", "ac", "b", "a", "bc"}},
        {5, "1-2 1-3 1-4 1-5 2-5", {"abc", "a", "b", "c", "a"}},
        {5, "1-2 1-4 1-5 2-3 2-4 2-5 3-4 3-5 4-5", {"a", "ab", "b", "ab", "ab"}},
        {5, "1-2 1-3 1-5 2-4 2-5 3-4 3-5 4-5", {"ab", "ac", "bd", "cd", "abcd"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MarkingRule(Pattern(c.n, c.notDifferent)), c.letters)
            << c.n << " treatments, not different: " << c.notDifferent;
    }
}

// Every pattern of two to five treatments: one marking per treatment, treatment 1's beginning
// with "a", no letter twice in a marking, and a shared letter exactly for not-different pairs.
TEST(LetterMarking, KeepsItsMeaningForEveryPattern) {
    const int departures[] = {0, 0, 0, 6, 5};  // from the rule, for n = 1..5
    for (int n = 1; n <= 5; ++n) {
        int departed = 0;
        for (unsigned bits = 0; bits < test::PatternCount(n); ++bits) {
            const NotDifferentPairs pairs = PatternNumber(n, bits);
            const auto marks = LetterMarking(pairs);
            const std::string what = "not different: " + pairs.Describe();
            ASSERT_EQ(marks.size(), static_cast<std::size_t>(n)) << what;
            ASSERT_EQ(marks[0].substr(0, 1), "a") << what;
            for (const auto& m : marks) {
                ASSERT_FALSE(m.empty()) << what;
                ASSERT_EQ(std::set<char>(m.begin(), m.end()).size(), m.size()) << what;
                for (char c : m) ASSERT_TRUE(c >= 'a' && c <= 'f') << what;
            }
            for (int i = 1; i <= n; ++i) {
                for (int j = i + 1; j <= n; ++j) {
                    const auto& a = marks[static_cast<std::size_t>(i - 1)];
                    const auto& b = marks[static_cast<std::size_t>(j - 1)];
                    const bool share = a.find_first_of(b) != std::string::npos;
                    ASSERT_EQ(share, pairs(i, j)) << what << "; pair " << i << "-" << j;
                }
            }
            if (marks != MarkingRule(pairs)) ++departed;
        }
        EXPECT_EQ(departed, departures[n - 1]) << n << " treatments";
    }
}

}  // namespace
}  // namespace vortel
