// The last section of the report: every treatment marked with letters, so that two treatments
// share a letter exactly when their pair test is not significant at 5 %.
#pragma once

#include "shell/TextRecords.h"
#include "shell/lifetabl.h"

namespace vortel {

// Increases TableNumber and prints the marking section to the open report.
void PrintLetterMarkingSection(AnalysisState& state, TextWriter& out);

}  // namespace vortel
