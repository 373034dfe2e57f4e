// The Cartesian paired test: launch, treatment input and the pairwise computation.
#pragma once

#include "shell/App.h"
#include "shell/lifetabl.h"

namespace vortel {

// The handler of "Q. CartesianPT": settles the options and runs a whole test.
void cmdCartesianDifference_Click(AnalysisState& state, Services& services);

}  // namespace vortel
