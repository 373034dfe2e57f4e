// The result report of a Cartesian paired test.
#pragma once

#include "shell/App.h"
#include "shell/lifetabl.h"

namespace vortel {

// Asks for the file-name code, writes the whole report from the analysis state, fills the
// comparison grid and shows the file name in the main window.
void PrintMultiCIofDifference(AnalysisState& state, Services& services);

}  // namespace vortel
