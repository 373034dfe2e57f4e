#include "letters/LetterMarking.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "letters/CompactLetterDisplay.h"
#include "letters/MarkingRule.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/state/lifetabl.h"

namespace vortel {

namespace {

constexpr int MarkingColumn = 65;

bool NotDifferentInState(const AnalysisState& state, int i, int j) {
    // Only the half with the later treatment first is read; both halves hold the same value.
    return NotDifferentAt(state.PValue(std::max(i, j), std::min(i, j)));
}

NotDifferentPairs PairsFromState(const AnalysisState& state, int n) {
    NotDifferentPairs pairs(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) pairs.Set(i, j, NotDifferentInState(state, i, j));
    }
    return pairs;
}

// A row without a marking ends after the SE.
void PrintRow(const AnalysisState& state, TextWriter& out, int k, const std::string* letters) {
    out.Text(" ")
        .Text(state.TreatmentName(k))
        .Tab(15)
        .Number(state.OriginalMean(k))
        .Tab(40)
        .Number(state.TreatmentSE(k));
    if (letters) out.Tab(MarkingColumn).Text(" " + *letters);
    out.EndLine();
}

void PrintRows(const AnalysisState& state, TextWriter& out,
               const std::vector<std::string>& letters) {
    for (std::size_t k = 1; k <= letters.size(); ++k)
        PrintRow(state, out, static_cast<int>(k), &letters[k - 1]);
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

// One body for the sixteen members: the member fixes the pairs with treatment 1, the state
// gives the other six.
std::vector<std::string> FiveTreatmentLetters(const AnalysisState& state, int member) {
    const FirstRowOutcome& first = FirstRowOutcomes.at(static_cast<std::size_t>(member - 1));
    NotDifferentPairs pairs(5);
    for (int j = 2; j <= 5; ++j) pairs.Set(1, j, first[static_cast<std::size_t>(j - 2)]);
    for (int i = 2; i <= 5; ++i) {
        for (int j = i + 1; j <= 5; ++j) pairs.Set(i, j, NotDifferentInState(state, i, j));
    }
    return LetterMarking(pairs);
}

// The member whose outcome of the pairs 1-2, 1-3, 1-4 and 1-5 holds, testing them in order.
int FiveTreatmentMember(const AnalysisState& state) {
    const FirstRowOutcome outcome = {
        NotDifferentInState(state, 1, 2), NotDifferentInState(state, 1, 3),
        NotDifferentInState(state, 1, 4), NotDifferentInState(state, 1, 5)};
    for (std::size_t m = 0; m < FirstRowOutcomes.size(); ++m) {
        if (FirstRowOutcomes[m] == outcome) return static_cast<int>(m + 1);
    }
    throw RunStopped("No five-treatment marking fits the pairs with treatment 1.");
}

void PrintRule(TextWriter& out, char c) { out.Text(" ").Text(std::string(75, c)).EndLine(); }

}  // namespace

void PrintPairTestTable4Treats(const AnalysisState& state, TextWriter& out) {
    PrintRows(state, out, LetterMarking(PairsFromState(state, 4)));
}

void PrintPairTestTable5Treats(const AnalysisState& state, TextWriter& out, int member) {
    PrintRows(state, out, FiveTreatmentLetters(state, member));
}

std::optional<std::vector<std::string>> ManyTreatmentMarking(const AnalysisState& state, int n) {
    DifferenceMatrix differs(static_cast<std::size_t>(n),
                             std::vector<bool>(static_cast<std::size_t>(n)));
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const bool differ = !NotDifferentInState(state, i, j);
            differs[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = differ;
            differs[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)] = differ;
        }
    }
    return TreatmentLetters(CompactLetterDisplay(differs), n);
}

std::vector<std::string> TreatmentMarkings(const AnalysisState& state) {
    const int n = state.TreatmentCount;
    if (n == 2 || n == 3) return MarkingRule(PairsFromState(state, n));
    if (n == 4) return LetterMarking(PairsFromState(state, 4));
    if (n == 5) return FiveTreatmentLetters(state, FiveTreatmentMember(state));
    // Past five the letters are the compact display the table prints; none when it needs more
    // letters than there are.
    if (n > 5) return ManyTreatmentMarking(state, n).value_or(std::vector<std::string>(n));
    return {};
}

void PrintLetterMarkingSection(AnalysisState& state, TextWriter& out) {
    const int n = state.TreatmentCount;
    out.Line(" Table " + NumberText(state.NextTableNumber()) +
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
        many = ManyTreatmentMarking(state, n);
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
        PrintRows(state, out, MarkingRule(PairsFromState(state, n)));
    } else if (n == 4) {
        PrintPairTestTable4Treats(state, out);
    } else if (n == 5) {
        PrintPairTestTable5Treats(state, out, FiveTreatmentMember(state));
    } else if (n > MostMarkedTreatments) {
        if (many) {
            PrintRows(state, out, *many);
        } else {
            for (int k = 1; k <= n; ++k) PrintRow(state, out, k, nullptr);
        }
    }
    PrintRule(out, '-');
}

}  // namespace vortel
