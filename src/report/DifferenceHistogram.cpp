#include "report/DifferenceHistogram.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "shell/base/RunStopped.h"
#include "shell/state/PairScratch.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

namespace {

// Sorts ascending in slices, merged pairwise, with a look at `stop` between the steps: one sort
// of a million values takes a tenth of a second or more, too long to keep a stop waiting.
void SortStoppably(std::vector<double>& v, const StopToken* stop) {
    constexpr std::size_t Slice = std::size_t{1} << 16;
    const std::size_t n = v.size();
    const auto at = [&v, n](std::size_t k) {
        return v.begin() + static_cast<std::ptrdiff_t>(std::min(k, n));
    };
    for (std::size_t a = 0; a < n; a += Slice) {
        StopIfRequested(stop);
        std::sort(at(a), at(a + Slice));
    }
    for (std::size_t width = Slice; width < n; width *= 2)
        for (std::size_t a = 0; a + width < n; a += 2 * width) {
            StopIfRequested(stop);
            std::inplace_merge(at(a), at(a + width), at(a + 2 * width));
        }
}

}  // namespace

DifferenceHistogram HistogramOfDifferences(std::span<const double> larger,
                                           std::span<const double> smaller, int bins,
                                           const StopToken* stop) {
    if (larger.empty() || smaller.empty() || bins < 1)
        throw RunStopped("A histogram of differences needs two samples and at least one bin.");
    const std::int64_t total =
        static_cast<std::int64_t>(larger.size()) * static_cast<std::int64_t>(smaller.size());
    // Rounding keeps the order of exact differences, so the extremes come from the extremes.
    const double low = larger.front() - smaller.back();
    const double high = larger.back() - smaller.front();
    DifferenceHistogram h;
    if (!(high > low)) {
        h.Edges = {low, high};
        h.Counts = {total};
        return h;
    }
    const double width = (high - low) / bins;
    h.Edges.resize(static_cast<std::size_t>(bins) + 1);
    for (int k = 0; k < bins; ++k) h.Edges[static_cast<std::size_t>(k)] = low + width * k;
    h.Edges.back() = high;
    h.Counts.resize(static_cast<std::size_t>(bins));
    // Nothing lies below the smallest difference; everything lies at or below the largest.
    std::int64_t below = 0;
    for (std::size_t k = 0; k < h.Counts.size(); ++k) {
        StopIfRequested(stop);
        const std::int64_t next = k + 1 < h.Counts.size()
                                      ? CountDifferencesBelow(larger, smaller, h.Edges[k + 1])
                                      : total;
        h.Counts[k] = next - below;
        below = next;
    }
    return h;
}

std::vector<PairDifferences> DifferencesOfPairs(const CartesianResult& result,
                                                std::vector<std::vector<double>> values, int bins,
                                                const StopToken* stop,
                                                const PairsProgress& pairDone,
                                                const GivenHistogram& given) {
    // Each treatment sorted once, when a pair counted here first needs it.
    std::vector<bool> sorted(values.size(), false);
    const auto sortedValues = [&](int t) -> const std::vector<double>& {
        const auto k = static_cast<std::size_t>(t - 1);
        if (!sorted[k]) SortStoppably(values[k], stop);
        sorted[k] = true;
        return values[k];
    };
    std::vector<PairDifferences> pairs;
    for (const PairResult& r : result.Pairs) {
        PairDifferences p;
        p.I = r.I;
        p.J = r.J;
        p.Minuend = result.Treatment(r.Minuend).Name;
        p.Subtrahend = result.Treatment(r.Subtrahend).Name;
        p.Mean = r.Mean;
        p.TLower = r.TLower;
        p.TUpper = r.TUpper;
        p.PercentileLower = r.PercentileLower;
        p.PercentileUpper = r.PercentileUpper;
        p.P = r.P;
        const DifferenceHistogram* computed = given ? given(r.I, r.J) : nullptr;
        p.Histogram = computed ? *computed
                               : HistogramOfDifferences(sortedValues(r.Minuend),
                                                        sortedValues(r.Subtrahend), bins, stop);
        pairs.push_back(std::move(p));
        if (pairDone)
            pairDone(static_cast<int>(pairs.size()), static_cast<int>(result.Pairs.size()));
    }
    return pairs;
}

std::vector<PairDifferences> DifferencesOfPairs(const Treatments& treatments,
                                                const TestResults& results, const PairScratch& work,
                                                int bins, const StopToken* stop,
                                                const PairsProgress& pairDone,
                                                const GivenHistogram& given) {
    const int n = treatments.TreatmentCount;
    std::vector<std::vector<double>> values(static_cast<std::size_t>(std::max(n, 0)));
    for (int t = 1; t <= n; ++t) {
        StopIfRequested(stop);
        auto& v = values[static_cast<std::size_t>(t - 1)];
        const std::int32_t b = treatments.BootstrapNumber(t);
        v.reserve(static_cast<std::size_t>(std::max(b, 0)));
        for (std::int32_t k = 1; k <= b; ++k) v.push_back(work.WorkingValues.Get(k, t));
    }
    return DifferencesOfPairs(CartesianResultOf(treatments, results, work), std::move(values), bins,
                              stop, pairDone, given);
}

}  // namespace vortel
