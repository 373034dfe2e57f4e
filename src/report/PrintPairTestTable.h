// The five triangular pair-test tables that close the result report, one treatment per row and
// per column, followed by the letter-marking section.
#pragma once

#include <cstdint>

#include "shell/base/TextRecords.h"

namespace vortel {

struct AnalysisState;

// Prints tables 1 to 5 and the letter marking to the open report. Reads TreatmentCount,
// TreatmentName, OriginalMean, MeanDifference (left by the pair sections), TLower, PValue and the
// two table rules; each table increases TableNumber by one.
void PrintPairTestTable(AnalysisState& state, TextWriter& out);

}  // namespace vortel
