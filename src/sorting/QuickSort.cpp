#include "sorting/QuickSort.h"

namespace vortel {

void QuickSort(AnalysisState& state) {
    (void)state;  // replaced by the real sort
}

}  // namespace vortel
