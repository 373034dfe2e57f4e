#include "report/PrintMultiCIofDifference.h"

namespace vortel {

void PrintMultiCIofDifference(AnalysisState& state, Services& services) {
    (void)state;
    (void)services;  // replaced by the real report
}

}  // namespace vortel
