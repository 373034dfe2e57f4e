// One comparison section of the result report: the two treatments side by side, their Cartesian
// differences, and the verdicts of the t interval, the percentile interval and the P-value.
#pragma once

#include "shell/base/TextRecords.h"

namespace vortel {

struct AnalysisState;

// Prints the section of pair (i, j), i < j, to the open report. Reads the per-treatment and
// per-pair results of the pairwise computation, SidakAlpha, TreatmentCount and BootstrapNumber(1);
// leaves the absolute difference of the bootstrap means in MeanDifference(i, j) and (j, i).
void PrintPairSection(AnalysisState& state, TextWriter& out, int i, int j);

}  // namespace vortel
