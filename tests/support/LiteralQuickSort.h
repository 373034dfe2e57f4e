// The partitioned sort written out step by step, slow but plain: the reference the fast sort
// and its callers are checked against.
#pragma once

#include "shell/state/lifetabl.h"

namespace vortel::test {

// Same contract as QuickSort: reads SortCount, SortInput, SortInputSerial, FlowRecord,
// SortUtilityUsed and the group limit; leaves SortOutput, SortOutputSerial (1..n), SortTotal,
// SortMean and the group limit. Its work lists and group tables live only during the call.
void LiteralQuickSort(AnalysisState& state);

}  // namespace vortel::test
