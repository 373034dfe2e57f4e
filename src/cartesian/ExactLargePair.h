// The exact path of a pair with more Cartesian differences than a value list holds: every
// result comes from the two sorted samples, and no list of B_i x B_j differences is formed.
//
// What it takes and gives, for every function below:
// - A sample holds fewer than 2^32 values (column numbers are 32-bit), every one finite: no NaN
//   and no infinity (whose difference with itself is a NaN); the samples a selection reads are
//   sorted ascending. Values as large as a test admits (up to 1E+150 in size)
//   keep every sum finite.
// - A difference is x[a] - y[b] (y[b] - x[a] when `negate`), the double the subtraction forms,
//   so that every count and every rank agree with forming and sorting all the differences.
// - It stops with RunStopped, naming the value or the limit, for a sample of 2^32 values or
//   more, a value not finite, an unsorted sample handed to DifferenceAtRank, or a rank outside 1 to
//   C; and it throws std::bad_alloc when its work lists (in proportion to |x| + |y|) do not fit.
//   Nothing else: the same samples give the same results on any thread, in any order.
// - The samples are only read: several threads may work on pairs that share a sample.
// Counting the differences below or at most a bound is CountDifferencesBelow and
// CountDifferencesAtMost (sorting/DifferenceCount.h), with the minuend first.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "shell/base/StopToken.h"
#include "sorting/DifferenceCount.h"

namespace vortel {

// The difference at `rank` (1 to |x| * |y|) in ascending order, each difference as above; a
// zero is returned as +0. Selection within a band of the sorted difference matrix, first cut about
// where the matrix of the samples thinned eightfold puts the rank, then narrowed by samples drawn
// from the band, every cut counted exactly: memory in proportion to |x| + |y|.
double DifferenceAtRank(std::span<const double> x, std::span<const double> y, bool negate,
                        std::int64_t rank);

// A treatment's values sorted ascending, with their sum and their sum of squared deviations
// from the mean carried in two doubles each (about 106 bits), so that the pair statistics
// below are correct to the last digit of a double. From stops for a value not finite or 2^32
// values; once made, a sample is only read.
struct SortedSample {
    std::vector<double> Values;
    double SumHigh = 0, SumLow = 0;
    double SquaresHigh = 0, SquaresLow = 0;  // sum of (value - mean)^2, taken in a second pass

    // A request on `stop` ends the sorting between its passes with CommandStopped.
    static SortedSample From(std::span<const double> values, const StopToken* stop = nullptr);
};

// The selection's work lists, kept from pair to pair so that each is allocated once: four lists
// of one number per value of the minuend for each percentile limit (six when ties hold up its
// search), up to |x| + |y| gathered differences, and the draws.
struct SelectionSpace {
    // Looked at before each walk over the matrix (a few milliseconds apart at a million values a
    // side): a request stops the selection with CommandStopped.
    const StopToken* Stop = nullptr;
    std::vector<std::vector<std::uint32_t>> Lists;
    std::vector<double> Drawn, Gathered;
    std::vector<std::uint64_t> Positions;
};

struct ExactPairResults {
    std::int64_t Low = 0;          // d <= 0
    std::int64_t High = 0;         // d >= 2D (and above 0)
    std::int64_t Significant = 0;  // 0 < d < 2D
    double Mean = 0;             // mean of the exact differences: mean(minuend) - mean(subtrahend)
    double Variance = 0;         // their variance, divisor C - 1
    double SD = 0;               // its square root, rounded once
    double PercentileLower = 0;  // the differences at the two ranks
    double PercentileUpper = 0;
};

// The statistics of all |x| * |y| differences x - y (y - x when `negate`) of a pair, with D the
// pair's mean difference (2D bounds the significant differences) and the two ranks of its
// percentile limits. The variance is (|y| SS_x + |x| SS_y) / (C - 1): every difference less the
// mean is (x_a - mean x) - (y_b - mean y), and the cross terms sum to zero.
ExactPairResults ExactPairStatistics(const SortedSample& x, const SortedSample& y, bool negate,
                                     double meanDifference, std::int64_t rankLower,
                                     std::int64_t rankUpper, SelectionSpace& space);

}  // namespace vortel
