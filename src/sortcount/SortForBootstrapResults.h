// The sort-and-count utility and the handler of "N. Sort, norm.".
#pragma once

#include "shell/App.h"
#include "shell/lifetabl.h"

namespace vortel {

// Chooses and reads a data or bootstrap file, sorts it and writes the sorted, percentile and
// counts files beside it.
void SortForBootstrapResults(AnalysisState& state, Services& services);
// Runs the utility and then offers the frequency view.
void cmdGeneralNormalTest_Click(AnalysisState& state, Services& services);

}  // namespace vortel
