// The partitioned sort written out step by step, slow but plain: the reference the fast sort
// and its callers are checked against.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/state/AnalysisState.h"

namespace vortel::test {

// Same contract as QuickSort: reads SortCount, SortInput, SortInputSerial, FlowRecord,
// SortUtilityUsed and the group limit; leaves SortOutput, SortOutputSerial (1..n), SortTotal,
// SortMean and the group limit. Its work lists and group tables live only during the call.
void LiteralQuickSort(AnalysisState& state);

// First and last position of one group the split phase leaves.
struct LiteralGroup {
    std::int32_t Start, End;
};

// The split phase alone, with the same reads and writes but for the final ordering: the output
// pair holds the arrangement of the level that would be ordered, and the result its groups in
// value order. After a one-group stop the result is empty and the first split's order stands.
std::vector<LiteralGroup> LiteralSplit(AnalysisState& state);

}  // namespace vortel::test
