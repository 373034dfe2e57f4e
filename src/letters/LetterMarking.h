// The last section of the report: every treatment marked with letters, so that two treatments
// share a letter exactly when their pair test is not significant at 5 %.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/base/TextRecords.h"

namespace vortel {

struct AnalysisState;

// Increases TableNumber (a 16-bit counter: past 32767 the command stops) and prints the marking
// section to the open report: heading, notes, rules and one row per treatment, treatment 1
// first. Reads TreatmentCount, TreatmentName, OriginalMean, TreatmentSE and PValue (the cell
// with the later treatment first).
void PrintLetterMarkingSection(AnalysisState& state, TextWriter& out);

// The four marking rows of a four-treatment test, from the P-values of its six pairs.
void PrintPairTestTable4Treats(const AnalysisState& state, TextWriter& out);

// The five marking rows of a five-treatment test. Each member stands for one outcome of the
// pairs 1-2, 1-3, 1-4 and 1-5 and reads only the P-values of the other six pairs; the section
// calls the member whose outcome holds.
void PrintPairTestTable5TreatsA01(const AnalysisState& state, TextWriter& out);  // none
void PrintPairTestTable5TreatsA02(const AnalysisState& state, TextWriter& out);  // 1-5
void PrintPairTestTable5TreatsA03(const AnalysisState& state, TextWriter& out);  // 1-4
void PrintPairTestTable5TreatsA04(const AnalysisState& state, TextWriter& out);  // 1-3
void PrintPairTestTable5TreatsA05(const AnalysisState& state, TextWriter& out);  // 1-4 1-5
void PrintPairTestTable5TreatsA06(const AnalysisState& state, TextWriter& out);  // 1-3 1-4
void PrintPairTestTable5TreatsA07(const AnalysisState& state, TextWriter& out);  // 1-3 1-5
void PrintPairTestTable5TreatsA08(const AnalysisState& state, TextWriter& out);  // 1-3 1-4 1-5
void PrintPairTestTable5TreatsA09(const AnalysisState& state, TextWriter& out);  // all four
void PrintPairTestTable5TreatsA10(const AnalysisState& state, TextWriter& out);  // 1-2 1-3 1-4
void PrintPairTestTable5TreatsA11(const AnalysisState& state, TextWriter& out);  // 1-2 1-3 1-5
void PrintPairTestTable5TreatsA12(const AnalysisState& state, TextWriter& out);  // 1-2 1-4 1-5
void PrintPairTestTable5TreatsA13(const AnalysisState& state, TextWriter& out);  // 1-2 1-3
void PrintPairTestTable5TreatsA14(const AnalysisState& state, TextWriter& out);  // 1-2 1-5
void PrintPairTestTable5TreatsA15(const AnalysisState& state, TextWriter& out);  // 1-2
void PrintPairTestTable5TreatsA16(const AnalysisState& state, TextWriter& out);  // 1-2 1-4

// The rows for six or more treatments: each treatment's letters of the compact letter display,
// or nothing when the display needs more letters than a to z and A to Z.
std::optional<std::vector<std::string>> ManyTreatmentMarking(const AnalysisState& state, int n);

// The marking each row of the section shows, treatment 1 first, without the row's leading
// blank ("ab"): the same choice of marking as the section makes, for tables built from the
// report's results.
std::vector<std::string> TreatmentMarkings(const AnalysisState& state);

}  // namespace vortel
