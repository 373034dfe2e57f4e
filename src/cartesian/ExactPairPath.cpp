#include "cartesian/ExactPairPath.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "cartesian/CartesianDifference2.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel {

bool PastTheLists(double c) { return c > ListCapacity; }

const SortedSample& ExactPairPath::Sample(AnalysisState& state, std::int16_t t) {
    if (m_samples.size() <= static_cast<std::size_t>(t))
        m_samples.resize(static_cast<std::size_t>(t) + 1);
    auto& sample = m_samples[static_cast<std::size_t>(t)];
    if (!sample) {
        const auto b = static_cast<std::int64_t>(state.BootstrapNumberReal(t));
        const double* values = state.WorkingValues.List(t).Through(b);
        sample =
            SortedSample::From(std::span<const double>(values + 1, static_cast<std::size_t>(b)));
    }
    return *sample;
}

void ExactPairPath::Compare(AnalysisState& s, std::int16_t i, std::int16_t j, bool negate,
                            double meanDifference) {
    const double c = s.BootstrapNumberReal(i) * s.BootstrapNumberReal(j);
    const ExactPairResults r =
        ExactPairStatistics(Sample(s, i), Sample(s, j), negate, meanDifference,
                            PercentileRank(c, 0.025), PercentileRank(c, 0.975), m_space);
    s.CartesianIndex = static_cast<std::int64_t>(c);
    s.LowCount(i, j) = r.Low;
    s.HighCount(i, j) = r.High;
    s.SignificantCount(i, j) = r.Significant;
    s.CartesianMean(i, j) = r.Mean;
    s.CartesianVariance(i, j) = r.Variance;
    s.CartesianSD(i, j) = r.SD;
    s.PairSum = r.Mean * c;
    s.PairSumOfSquares = r.Variance * (c - 1) + r.Mean * r.Mean * c;
    s.PercentileLower(i, j) = r.PercentileLower;
    s.PercentileUpper(i, j) = r.PercentileUpper;
}

double DetailFileBytes(double c) {
    // The digits of the serial numbers 1..c, in three of the four records (the fourth counts
    // among its class, taken as the same); the differences' digits about 17; a comma and a line
    // end to each record.
    double serialDigits = 0;
    double from = 1;
    for (int digits = 1; from <= c; ++digits, from *= 10)
        serialDigits += digits * (std::min(c, from * 10 - 1) - from + 1);
    return 4 * serialDigits + 4 * c * (17 + 3);
}

void SettleDetailFiles(AnalysisState& s, Dialogues& ui) {
    if (!s.DetailedDifferences) return;
    const std::int16_t n = s.TreatmentCount;
    for (std::int16_t i = 1; i < n; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            const double c = s.BootstrapNumberReal(i) * s.BootstrapNumberReal(j);
            if (!PastTheLists(c)) continue;
            const std::string pair = "The pair of treatment " + Text(i) + " (\"" +
                                     s.TreatmentName(i) + "\") and treatment " + Text(j) + " (\"" +
                                     s.TreatmentName(j) + "\") has " + Text(c) +
                                     " Cartesian differences; its detail files would take about " +
                                     Text(RoundToDecimals(DetailFileBytes(c) / 1e9, 1)) +
                                     " GB, and they are written only for pairs of at most " +
                                     Text(ListCapacity) + " differences.";
            if (s.DetailFilesRequired) throw RunStopped(pair);
            ui.Notify(pair + "\nThe test runs without detail files.", "Detailed differences");
            s.DetailedDifferences = false;
            return;
        }
    }
}

}  // namespace vortel
