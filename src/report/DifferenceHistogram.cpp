#include "report/DifferenceHistogram.h"

#include <algorithm>

#include "shell/base/RunStopped.h"

namespace vortel {

DifferenceHistogram HistogramOfDifferences(std::span<const double> larger,
                                           std::span<const double> smaller, int bins) {
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
        const std::int64_t next = k + 1 < h.Counts.size()
                                      ? CountDifferencesBelow(larger, smaller, h.Edges[k + 1])
                                      : total;
        h.Counts[k] = next - below;
        below = next;
    }
    return h;
}

std::vector<PairDifferences> DifferencesOfPairs(const AnalysisState& state, int bins) {
    const int n = state.TreatmentCount;
    std::vector<std::vector<double>> sorted(static_cast<std::size_t>(std::max(n, 0)) + 1);
    for (int t = 1; t <= n; ++t) {
        auto& values = sorted[static_cast<std::size_t>(t)];
        const std::int32_t b = state.BootstrapNumber(t);
        values.reserve(static_cast<std::size_t>(std::max(b, 0)));
        for (std::int32_t k = 1; k <= b; ++k) values.push_back(state.WorkingValues.Get(k, t));
        std::sort(values.begin(), values.end());
    }
    std::vector<PairDifferences> pairs;
    for (int i = 1; i <= n - 1; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const bool iMinusJ = state.BootstrapMean(i) > state.BootstrapMean(j);
            const int a = iMinusJ ? i : j, b = iMinusJ ? j : i;
            PairDifferences p;
            p.I = i;
            p.J = j;
            p.Minuend = state.TreatmentName(a);
            p.Subtrahend = state.TreatmentName(b);
            p.Mean = state.CartesianMean(i, j);
            p.TLower = state.TLower(i, j);
            p.TUpper = state.TUpper(i, j);
            p.PercentileLower = state.PercentileLower(i, j);
            p.PercentileUpper = state.PercentileUpper(i, j);
            p.P = state.PValue(i, j);
            p.Histogram = HistogramOfDifferences(sorted[static_cast<std::size_t>(a)],
                                                 sorted[static_cast<std::size_t>(b)], bins);
            pairs.push_back(std::move(p));
        }
    }
    return pairs;
}

}  // namespace vortel
