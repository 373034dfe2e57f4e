// The comparison grid of the main window: mean differences above the diagonal, P-values below.
#pragma once

#include <string>

#include "shell/state/Window.h"

namespace vortel {

struct AnalysisState;

// Fills the grid with TreatmentCount + 1 rows and columns from TreatmentName, MeanDifference,
// PValue and TLower; writes nothing to the analysis state.
void ShowMultiCIofDifference(AnalysisState& state, Window& window);

// Text of a mean-difference cell: three decimals below 1, two up to 100, whole numbers above.
std::string MeanDifferenceCellText(double m);

}  // namespace vortel
