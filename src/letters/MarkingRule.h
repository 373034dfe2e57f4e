// The letters of the marking table, computed without touching a report: which treatments are
// not significantly different, the marking rule that names groups of them with letters, and the
// few patterns whose marking is fixed to another one than the rule's.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vortel {

// Highest treatment count the marking table marks completely.
inline constexpr int MostMarkedTreatments = 5;

// The not-different relation among treatments 1..n (n at most MostMarkedTreatments): symmetric,
// and a treatment is never compared with itself.
class NotDifferentPairs {
public:
    // All pairs different. An n outside 0..MostMarkedTreatments stops the command.
    explicit NotDifferentPairs(int n);

    int Count() const { return m_n; }
    bool operator()(int i, int j) const;
    void Set(int i, int j, bool notDifferent);

    // The not-different pairs as "1-2 1-4 3-4", pair (1,2) first, then (1,3), ..., (n-1,n);
    // empty when every pair differs.
    std::string Describe() const;

private:
    void Check(int i, int j) const;
    int m_n;
    std::array<std::array<bool, MostMarkedTreatments + 1>, MostMarkedTreatments + 1> m_pair{};
};

// A P-value above 0.05 means not different; 0.05 itself counts as a significant difference,
// as in the footnote of the earlier tables.
bool NotDifferentAt(double pValue);

// The marking rule: letters name groups of mutually not-different treatments in the order the
// groups are created, treatment by treatment. Returns the letters of treatments 1..n ("ab").
std::vector<std::string> MarkingRule(const NotDifferentPairs& pairs);

// The markings the table prints for treatments 1..n: the rule's letters, except for the few
// patterns of four and five treatments whose marking is fixed to another one with the same
// meaning.
std::vector<std::string> LetterMarking(const NotDifferentPairs& pairs);

}  // namespace vortel
