#include "sortcount/SortForBootstrapResults.h"

namespace vortel {

void SortForBootstrapResults(AnalysisState&, Services&) {}
void cmdGeneralNormalTest_Click(AnalysisState&, Services&) {}

}  // namespace vortel
