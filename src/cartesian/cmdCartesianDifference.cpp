#include "cartesian/cmdCartesianDifference.h"

namespace vortel {

void cmdCartesianDifference_Click(AnalysisState&, Services&) {}

}  // namespace vortel
