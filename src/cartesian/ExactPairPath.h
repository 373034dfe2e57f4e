// Where a pair past the value lists leaves the partitioned sort's path: its results come from
// the exact path over the sorted samples, and detail files are not written for it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cartesian/ExactLargePair.h"
#include "shell/state/Dialogues.h"
#include "shell/state/lifetabl.h"

namespace vortel {

// A pair whose C = B_i x B_j exceeds what a value list holds.
bool PastTheLists(double c);

// One test's pairs past the lists. Each treatment is sorted and summed once, on its first such
// pair, and kept for the others: memory in proportion to the treatments' values.
class ExactPairPath {
public:
    // Leaves every per-pair result of (i, j), its counts and CartesianIndex, PairSum and
    // PairSumOfSquares, from the treatments' WorkingValues; the differences are
    // WorkingValues(., i) - WorkingValues(., j), the other way round when `negate`. The sort's
    // fields (SortCount, SortGroupLimit and the rest) are not touched: the sort does not run.
    void Compare(AnalysisState& state, std::int16_t i, std::int16_t j, bool negate,
                 double meanDifference);

private:
    const SortedSample& Sample(AnalysisState& state, std::int16_t t);
    std::vector<std::optional<SortedSample>> m_samples;
    SelectionSpace m_space;
};

// With detail files asked for and a pair past the lists, whose files would hold hundreds of
// gigabytes: when DetailFilesRequired is set the command stops, before anything is computed or
// written, naming the pair, its C and the size; otherwise the user is told so and the test runs
// without detail files (DetailedDifferences is cleared).
void SettleDetailFiles(AnalysisState& state, Dialogues& ui);

// About how many bytes a pair's detail files take for c differences: four records of a serial
// number and a difference each.
double DetailFileBytes(double c);

}  // namespace vortel
