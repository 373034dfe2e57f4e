#include "cartesian/ExactPairShare.h"

#include "cartesian/ExactPairPath.h"
#include "cartesian/PairComparisons.h"
#include "cartesian/PairsAhead.h"
#include "cartesian/result/PairOrder.h"
#include "shell/base/RunStopped.h"
#include "shell/state/TestQuestions.h"

namespace vortel {

void ComputeShareOfLoaded(Treatments& s, PairScratch& work, TestResults& results, TestSeams& seams,
                          ExactPairShare& share) {
    if (share.Shares < 1 || share.Share < 0 || share.Share >= share.Shares)
        throw RunStopped("A share of the exact pairs is numbered 0 to " +
                         std::to_string(share.Shares - 1) + ", not " + std::to_string(share.Share) +
                         ".");
    CheckTreatmentsFitTest(s);
    SummariseTreatments(s, work, results);
    const std::int16_t n = s.TreatmentCount;
    std::vector<std::pair<std::int16_t, std::int16_t>> mine;
    int k = 0;
    for (std::int16_t i = 1; i < n; ++i)
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j)
            if (PastTheLists(CartesianCount(s, i, j)) && k++ % share.Shares == share.Share)
                mine.emplace_back(i, j);
    share.Computed.clear();
    seams.events.Began("", static_cast<int>(mine.size()));
    // One pair after another: the instances are the parallelism.
    PairsAhead ahead;
    for (const auto& [i, j] : mine) {
        StopIfRequested(seams.stop);
        seams.events.PairStarted(i, j, PairPhase::Differences);
        ExactPairOutcome o;
        o.I = i;
        o.J = j;
        o.Results = ahead.Exact(s, work, i, j);
        if (share.Histograms) {
            // Oriented as the figure takes the pair: the larger bootstrap mean first.
            const bool iFirst = FirstMinusSecond(s, i, j);
            o.Histogram = HistogramOfDifferences(ahead.SortedValues(iFirst ? i : j),
                                                 ahead.SortedValues(iFirst ? j : i), DifferenceBins,
                                                 seams.stop);
        }
        share.Computed.push_back(std::move(o));
        seams.events.PairDone(i, j, seams.clock.Now());
    }
}

GivenHistogram GivenHistograms(const std::vector<ExactPairOutcome>* given) {
    if (!given) return nullptr;
    return [given](int i, int j) -> const DifferenceHistogram* {
        for (const ExactPairOutcome& o : *given)
            if (o.I == i && o.J == j && !o.Histogram.Counts.empty()) return &o.Histogram;
        return nullptr;
    };
}

}  // namespace vortel
