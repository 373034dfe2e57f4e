#include "letters/LetterMarking.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "letters/CompactLetterDisplay.h"
#include "letters/MarkingRule.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/state/ReportHeader.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

namespace {

constexpr int MarkingColumn = 65;

bool NotDifferentIn(const MarkingInput& in, int i, int j) {
    return NotDifferentAt(in.P(std::min(i, j), std::max(i, j)));
}

NotDifferentPairs PairsFrom(const MarkingInput& in, int n) {
    NotDifferentPairs pairs(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) pairs.Set(i, j, NotDifferentIn(in, i, j));
    }
    return pairs;
}

// A row without a marking ends after the SE.
void PrintRow(const MarkingInput& in, TextWriter& out, int k, const std::string* letters) {
    const auto t = static_cast<std::size_t>(k - 1);
    out.Text(" ").Text(in.Names[t]).Tab(15).Number(in.Original[t]).Tab(40).Number(in.SE[t]);
    if (letters) out.Tab(MarkingColumn).Text(" " + *letters);
    out.EndLine();
}

void PrintRows(const MarkingInput& in, TextWriter& out, const std::vector<std::string>& letters) {
    for (std::size_t k = 1; k <= letters.size(); ++k)
        PrintRow(in, out, static_cast<int>(k), &letters[k - 1]);
}

// Not-different outcomes of the pairs 1-2, 1-3, 1-4 and 1-5 that select each five-treatment
// member, A01 to A16, in the order the section tests them; the comment names the pairs that do
// not differ.
using FirstRowOutcome = std::array<bool, 4>;
constexpr std::array<FirstRowOutcome, 16> FirstRowOutcomes = {{
    {false, false, false, false},  // A01 none
    {false, false, false, true},   // A02 1-5
    {false, false, true, false},   // A03 1-4
    {false, true, false, false},   // A04 1-3
    {false, false, true, true},    // A05 1-4 1-5
    {false, true, true, false},    // A06 1-3 1-4
    {false, true, false, true},    // A07 1-3 1-5
    {false, true, true, true},     // A08 1-3 1-4 1-5
    {true, true, true, true},      // A09 all four
    {true, true, true, false},     // A10 1-2 1-3 1-4
    {true, true, false, true},     // A11 1-2 1-3 1-5
    {true, false, true, true},     // A12 1-2 1-4 1-5
    {true, true, false, false},    // A13 1-2 1-3
    {true, false, false, true},    // A14 1-2 1-5
    {true, false, false, false},   // A15 1-2
    {true, false, true, false},    // A16 1-2 1-4
}};

// One body for the sixteen members: the member fixes the pairs with treatment 1, the test
// gives the other six.
std::vector<std::string> FiveTreatmentLetters(const MarkingInput& in, int member) {
    const FirstRowOutcome& first = FirstRowOutcomes.at(static_cast<std::size_t>(member - 1));
    NotDifferentPairs pairs(5);
    for (int j = 2; j <= 5; ++j) pairs.Set(1, j, first[static_cast<std::size_t>(j - 2)]);
    for (int i = 2; i <= 5; ++i) {
        for (int j = i + 1; j <= 5; ++j) pairs.Set(i, j, NotDifferentIn(in, i, j));
    }
    return LetterMarking(pairs);
}

// The member whose outcome of the pairs 1-2, 1-3, 1-4 and 1-5 holds, testing them in order.
int FiveTreatmentMember(const MarkingInput& in) {
    const FirstRowOutcome outcome = {NotDifferentIn(in, 1, 2), NotDifferentIn(in, 1, 3),
                                     NotDifferentIn(in, 1, 4), NotDifferentIn(in, 1, 5)};
    for (std::size_t m = 0; m < FirstRowOutcomes.size(); ++m) {
        if (FirstRowOutcomes[m] == outcome) return static_cast<int>(m + 1);
    }
    throw RunStopped("No five-treatment marking fits the pairs with treatment 1.");
}

void PrintRule(TextWriter& out, char c) { out.Text(" ").Text(std::string(75, c)).EndLine(); }

}  // namespace

MarkingInput MarkingInputOf(const Treatments& treatments, const TestResults& results) {
    MarkingInput in;
    for (int t = 1; t <= treatments.TreatmentCount; ++t) {
        in.Names.push_back(treatments.TreatmentName(t));
        in.Original.push_back(treatments.OriginalMean(t));
        in.SE.push_back(treatments.TreatmentSE(t));
    }
    // Only the half with the later treatment first is read; both halves hold the same value.
    in.P = [&results](int i, int j) { return results.PValue(j, i); };
    return in;
}

void PrintPairTestTable4Treats(const MarkingInput& in, TextWriter& out) {
    PrintRows(in, out, LetterMarking(PairsFrom(in, 4)));
}

void PrintPairTestTable5Treats(const MarkingInput& in, TextWriter& out, int member) {
    PrintRows(in, out, FiveTreatmentLetters(in, member));
}

std::optional<std::vector<std::string>> ManyTreatmentMarking(const MarkingInput& in, int n) {
    DifferenceMatrix differs(static_cast<std::size_t>(n),
                             std::vector<bool>(static_cast<std::size_t>(n)));
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const bool differ = !NotDifferentIn(in, i, j);
            differs[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = differ;
            differs[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)] = differ;
        }
    }
    return TreatmentLetters(CompactLetterDisplay(differs), n);
}

std::vector<std::string> TreatmentMarkings(const MarkingInput& in) {
    const int n = in.Count();
    if (n == 2 || n == 3) return MarkingRule(PairsFrom(in, n));
    if (n == 4) return LetterMarking(PairsFrom(in, 4));
    if (n == 5) return FiveTreatmentLetters(in, FiveTreatmentMember(in));
    // Past five the letters are the compact display the table prints; none when it needs more
    // letters than there are.
    if (n > 5) return ManyTreatmentMarking(in, n).value_or(std::vector<std::string>(n));
    return {};
}

std::vector<std::string> TreatmentMarkings(const Treatments& treatments,
                                           const TestResults& results) {
    return TreatmentMarkings(MarkingInputOf(treatments, results));
}

void PrintLetterMarkingSection(ReportHeader& header, const Treatments& treatments,
                               const TestResults& results, TextWriter& out) {
    const std::int16_t number = header.NextTableNumber();
    PrintLetterMarkingSection(MarkingInputOf(treatments, results), number, out);
}

void PrintLetterMarkingSection(const MarkingInput& in, std::int16_t tableNumber, TextWriter& out) {
    const int n = in.Count();
    out.Line(" Table " + NumberText(tableNumber) +
             ". Preliminary table of differences between treatments.");
    std::optional<std::vector<std::string>> many;
    if (n <= MostMarkedTreatments) {
        out.Line(" You can use the following table to mark the differences between treatments.");
        out.Line(" Only the differences between the first few treatments are marked for you.");
        out.Line(
            " Note well! If this table is not completed, you have to complete the rest \"_\" ");
        out.Line(" yourself. Attention! Not every \"_\" needs to be filled with a letter. ");
        out.Line(" This is a good practice of \"critical thinking\".");
        out.Line(" Note well: \"Thinking is the most important thing in science\".");
    } else {
        many = ManyTreatmentMarking(in, n);
        out.Line(" Treatments that share a letter do not differ significantly (P > 0.05).");
        if (many) {
            out.Line(" The letters are a compact letter display made by insertion and absorption");
            out.Line(" (Piepho 2004): every pair is marked, and no letter could be left out.");
        } else {
            out.Line(" These treatments would need more letters than the " +
                     Text(NamedLetterCount) + " of a to z and A to Z;");
            out.Line(" the P-values of the tables above give every pair.");
        }
    }
    PrintRule(out, '=');
    out.Text(" ").Text("Treatment").Tab(15).Text(" Original").Tab(40).Text(" SE").Tab(65);
    out.Text("Difference").EndLine();
    PrintRule(out, '-');

    if (n == 2 || n == 3) {
        PrintRows(in, out, MarkingRule(PairsFrom(in, n)));
    } else if (n == 4) {
        PrintPairTestTable4Treats(in, out);
    } else if (n == 5) {
        PrintPairTestTable5Treats(in, out, FiveTreatmentMember(in));
    } else if (n > MostMarkedTreatments) {
        if (many) {
            PrintRows(in, out, *many);
        } else {
            for (int k = 1; k <= n; ++k) PrintRow(in, out, k, nullptr);
        }
    }
    PrintRule(out, '-');
}

}  // namespace vortel
