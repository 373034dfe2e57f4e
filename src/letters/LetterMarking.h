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

// The five marking rows of a five-treatment test for one of its sixteen members, A01 to A16
// (`member` 1 to 16). Each member stands for one outcome of the pairs 1-2, 1-3, 1-4 and 1-5 (the
// outcomes table in LetterMarking.cpp) and reads only the P-values of the other six pairs; the
// section calls the member whose outcome holds.
void PrintPairTestTable5Treats(const AnalysisState& state, TextWriter& out, int member);

// The rows for six or more treatments: each treatment's letters of the compact letter display,
// or nothing when the display needs more letters than a to z and A to Z.
std::optional<std::vector<std::string>> ManyTreatmentMarking(const AnalysisState& state, int n);

// The marking each row of the section shows, treatment 1 first, without the row's leading
// blank ("ab"): the same choice of marking as the section makes, for tables built from the
// report's results.
std::vector<std::string> TreatmentMarkings(const AnalysisState& state);

}  // namespace vortel
