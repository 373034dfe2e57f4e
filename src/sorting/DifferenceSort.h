// The partitioned sort applied to the Cartesian differences of two samples, without the caller
// having to form and hand over all of them.
#pragma once

#include <cstdint>
#include <span>

namespace vortel {

struct PairScratch;
struct SessionFiles;
struct SortHandOver;

// The differences d_k = X[a] - Y[b] (or Y[b] - X[a] when `negate`), a outer and b inner,
// k = a * |Y| + b + 1, n = |X| * |Y|. `total` is their sum added in the order of k.
struct DifferenceList {
    std::span<const double> X;
    std::span<const double> Y;
    bool Negate = false;
    double Total = 0;
};

// Has the observable effects of handing the n differences to QuickSort: the flow line, the
// group limit it leaves for later sorts of the run, SortCount, SortTotal, SortMean, and the
// values SortOutput would hold at the requested positions (1-based; in a one-group stop, the
// order the first split left). It allocates in proportion to |X| + |Y|, except for samples
// holding values that are not finite or so large that sums may overflow: those are formed in
// SortInput and sorted. An empty or oversized list, or a position outside 1..n, throws
// RunStopped.
void QuickSortOfDifferences(PairScratch& work, SortHandOver& handOver, SessionFiles& files,
                            const DifferenceList& list, std::span<const std::int64_t> positions,
                            std::span<double> valuesAt);

}  // namespace vortel
