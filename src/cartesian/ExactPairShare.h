// A test's exact pairs (those past the value lists) shared out between instances of the core
// that share no memory, such as the browser page's workers. Each instance reads the treatments
// and computes its share of those pairs, with the histogram the differences figure draws of
// each; one instance then finishes the test with every share's pairs given, and its report,
// tables and figure are byte for byte those of a run that computed every pair itself: each
// pair is computed exactly as the test computes it alone, and the pairs within the lists,
// whose sort hands its state from pair to pair, stay with the instance that finishes.
#pragma once

#include <memory>
#include <vector>

#include "cartesian/CartesianTest.h"
#include "cartesian/ExactLargePair.h"
#include "report/DifferenceHistogram.h"
#include "shell/base/OutputFile.h"

namespace vortel {

struct PairScratch;
struct TestResults;
struct TestSeams;
struct Treatments;

// One exact pair as an instance computed it.
struct ExactPairOutcome {
    int I = 0, J = 0;  // the pair in report positions, I < J
    ExactPairResults Results;
    DifferenceHistogram Histogram;  // the differences figure's; empty when not asked for
};

// Which of the exact pairs an instance takes: the k-th of them in the test's pair order
// (1,2), (1,3), ... when k % Shares == Share; and, set by the step, what it computed.
struct ExactPairShare {
    int Share = 0;
    int Shares = 1;
    bool Histograms = false;
    std::vector<ExactPairOutcome> Computed{};
};

// RunCartesianTest in steps, with the same checks, refusals and files.
class SplitTest {
public:
    // Checks the request and reads its treatments. The output (files, folder, transaction) is
    // the one of every later step; the events, stop and clock are those of this step (the
    // clock, when given, must outlive the test).
    SplitTest(const CartesianRequest& request, const RunControl& control);
    ~SplitTest();
    SplitTest(const SplitTest&) = delete;
    SplitTest& operator=(const SplitTest&) = delete;

    // This instance's share of the exact pairs, one after another, into share.Computed. Events:
    // Began with the number of pairs of the share, then PairStarted and PairDone for each.
    void ComputeShare(ExactPairShare& share, const RunControl& control);

    // The rest of the test as RunCartesianTest runs it, the exact pairs of `given` (every
    // share's) taken as computed and their histograms, where given, as the figure's.
    CartesianResult Finish(const std::vector<ExactPairOutcome>& given, const RunControl& control);

    struct Run;

private:
    OutputTransaction m_own;
    std::unique_ptr<Run> m_run;
};

// The share of a loaded test, after the checks the pair loop makes.
void ComputeShareOfLoaded(Treatments& treatments, PairScratch& work, TestResults& results,
                          TestSeams& seams, ExactPairShare& share);

// The given pairs' histograms for the figure (none for a pair given without one).
GivenHistogram GivenHistograms(const std::vector<ExactPairOutcome>* given);

}  // namespace vortel
