// The pairwise computation of the Cartesian paired test: each treatment summarised, the F value,
// and for every pair the statistics of all B_i x B_j differences of their bootstrap values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "cartesian/result/CartesianResult.h"
#include "shell/state/PairScratch.h"
#include "shell/state/SessionFiles.h"
#include "shell/state/TestOptions.h"
#include "shell/state/TestQuestions.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

class OutputSet;
struct ExactPairOutcome;

// The parts of a session's record the pairwise computation works in.
struct PairParts {
    TestOptions& options;
    Treatments& treatments;
    TestResults& results;
    PairScratch& work;
    SortHandOver& handOver;
    // The flow record and the names of the detail files.
    SessionFiles& files;
};

// Reads what treatment input left (TreatmentCount, BootstrapValues, ValueFlag, BootstrapNumber,
// BootstrapNumberReal, SampleSize) and the options DetailedDifferences and FlowRecord. Leaves
// the per-treatment summaries, FValue, TestBeganText, TestStartTime and every per-pair result in
// `parts`, reports its progress as events, creates the pairs' detail files in `detailFiles`
// when asked, and returns the result read from them. Writes no report. The exact pairs of
// `given`, computed elsewhere (ExactPairShare.h), are taken as they are.
CartesianResult CompareLoadedTreatments(const PairParts& parts, TestSeams& seams,
                                        OutputSet& detailFiles,
                                        const std::vector<ExactPairOutcome>* given = nullptr);

// Each treatment's effective B, sum, bootstrap mean and variance, and the working values the
// pairs read: what the pair loop needs before its first pair.
void SummariseTreatments(Treatments& treatments, PairScratch& work, TestResults& results);

// Stops the command, before anything is computed or written, when a treatment has fewer than
// two bootstrap values, when the sample sizes leave the F value no within-groups degrees of
// freedom, or when detail files are asked for and a parameter name cannot stand in their names.
void CheckTreatmentsFitTest(const Treatments& state);

// What one pass over a pair's differences in the order of k gathers.
struct PairTally {
    double Sum = 0;
    double SumOfSquares = 0;
    std::int64_t Low = 0;          // d <= 0, or not a number
    std::int64_t High = 0;         // d >= 2D
    std::int64_t Significant = 0;  // 0 < d < 2D
};

// The differences x[a] - y[b] (y[b] - x[a] when `negate`), a outer, b inner, with the sums added
// one difference at a time in that order: the order fixes the last digits of the results.
PairTally TallyDifferences(std::span<const double> x, std::span<const double> y, bool negate,
                           double meanDifference);

}  // namespace vortel
