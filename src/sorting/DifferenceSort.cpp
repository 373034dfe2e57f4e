#include "sorting/DifferenceSort.h"

#include "sorting/QuickSort.h"

namespace vortel {

void QuickSortOfDifferences(AnalysisState& state, const DifferenceList& list,
                            std::span<const std::int64_t> positions, std::span<double> valuesAt) {
    const std::int64_t n = static_cast<std::int64_t>(list.X.size() * list.Y.size());
    double* input = state.SortInput.Through(n);
    std::int64_t k = 0;
    for (double x : list.X)
        for (double y : list.Y) input[++k] = list.Negate ? y - x : x - y;
    state.SortCount = static_cast<std::int32_t>(n);
    QuickSort(state);
    for (std::size_t p = 0; p < positions.size(); ++p) valuesAt[p] = state.SortOutput(positions[p]);
}

}  // namespace vortel
