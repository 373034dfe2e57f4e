// The distribution of each pair's Cartesian differences as exact histogram counts, taken from
// the two sorted samples without forming the differences, so its memory is that of the samples
// and its time O(bins x B) however large the pair.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cartesian/result/CartesianResult.h"
#include "shell/base/StopToken.h"
#include "sorting/DifferenceCount.h"

namespace vortel {

// Bins of the differences figure: enough to show the shape of 4,000,000 differences, few
// enough that a panel a few hundred pixels wide still shows every bar.
inline constexpr int DifferenceBins = 50;

struct DifferenceHistogram {
    // bins + 1 edges, equally spaced from the smallest difference to the largest (both exact).
    std::vector<double> Edges;
    // Counts[k] holds the differences d with Edges[k] <= d < Edges[k + 1]; the last bin also
    // holds d == Edges.back(). The counts add up to the number of differences.
    std::vector<std::int64_t> Counts;
};

// The histogram of all A x B differences larger[a] - smaller[b], each computed in double as the
// test computes it, in `bins` equal bins between the smallest and the largest; the counts are
// CountDifferencesBelow's. When every difference is the same, one bin [d, d] holds them all. Both
// samples ascending, free of NaN and not empty. A request on `stop` is looked at before each bin
// (a bin of two samples of a million values takes a few milliseconds).
DifferenceHistogram HistogramOfDifferences(std::span<const double> larger,
                                           std::span<const double> smaller,
                                           int bins = DifferenceBins,
                                           const StopToken* stop = nullptr);

// Hears after each pair of a figure's data how many of how many pairs are done.
using PairsProgress = std::function<void(int done, int total)>;

// One pair of the last test: its histogram and the marks the report judges it by.
struct PairDifferences {
    int I = 0, J = 0;     // report positions, I < J
    std::string Minuend;  // the treatment whose values come first in each difference
    std::string Subtrahend;
    double Mean = 0, TLower = 0, TUpper = 0, PercentileLower = 0, PercentileUpper = 0, P = 0;
    DifferenceHistogram Histogram;
};

// A pair's histogram computed elsewhere (another instance of the core), for pair (i, j) in
// report positions; null for a pair to count here.
using GivenHistogram = std::function<const DifferenceHistogram*(int i, int j)>;

// Every pair of `result` in report order, (1,2), (1,3), ..., (N-1,N), each oriented as the test
// formed its differences; `values` holds each treatment's bootstrap values as the test compared
// them (transformed), treatment t at t - 1, in any order: the histograms count from them, but
// for the pairs `given` has.
std::vector<PairDifferences> DifferencesOfPairs(const CartesianResult& result,
                                                std::vector<std::vector<double>> values,
                                                int bins = DifferenceBins,
                                                const StopToken* stop = nullptr,
                                                const PairsProgress& pairDone = nullptr,
                                                const GivenHistogram& given = nullptr);
// The same from a state that holds a finished test (its WorkingValues).
std::vector<PairDifferences> DifferencesOfPairs(const Treatments& treatments,
                                                const TestResults& results, const PairScratch& work,
                                                int bins = DifferenceBins,
                                                const StopToken* stop = nullptr,
                                                const PairsProgress& pairDone = nullptr,
                                                const GivenHistogram& given = nullptr);

}  // namespace vortel
