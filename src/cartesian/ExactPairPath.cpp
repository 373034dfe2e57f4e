#include "cartesian/ExactPairPath.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <system_error>

#include "cartesian/CartesianDifference2.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel {

bool PastTheLists(double c) { return c > ListCapacity; }

ExactPairPath::~ExactPairPath() {
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    for (std::thread& worker : m_workers) worker.join();
}

const SortedSample& ExactPairPath::Sample(std::int16_t t) {
    const auto k = static_cast<std::size_t>(t);
    std::call_once(*m_sorted[k], [&] { m_samples[k] = SortedSample::From(m_values[k]); });
    return *m_samples[k];
}

ExactPairResults ExactPairPath::Compute(const Pair& pair, SelectionSpace& space) {
    return ExactPairStatistics(Sample(pair.I), Sample(pair.J), pair.Negate, pair.MeanDifference,
                               pair.RankLower, pair.RankUpper, space);
}

void ExactPairPath::TakeValues(AnalysisState& s) {
    const std::int16_t n = s.TreatmentCount;
    m_values.assign(static_cast<std::size_t>(n) + 1, {});
    m_samples.assign(static_cast<std::size_t>(n) + 1, std::nullopt);
    m_sorted.clear();
    for (std::int16_t t = 0; t <= n; ++t) m_sorted.push_back(std::make_unique<std::once_flag>());
    for (std::int16_t t = 1; t <= n; ++t) {
        const auto b = static_cast<std::int64_t>(s.BootstrapNumberReal(t));
        m_values[static_cast<std::size_t>(t)] = {s.WorkingValues.List(t).Through(b) + 1,
                                                 static_cast<std::size_t>(b)};
    }
}

void ExactPairPath::Start(AnalysisState& s) {
    TakeValues(s);
    const std::int16_t n = s.TreatmentCount;
    for (std::int16_t i = 1; i < n; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            const double c = s.BootstrapNumberReal(i) * s.BootstrapNumberReal(j);
            if (!PastTheLists(c)) continue;
            const bool negate = !(s.BootstrapMean(i) > s.BootstrapMean(j));
            m_pairs.push_back({i, j, negate, std::fabs(s.BootstrapMean(i) - s.BootstrapMean(j)),
                               PercentileRank(c, 0.025), PercentileRank(c, 0.975), std::nullopt,
                               nullptr});
        }
    }
    // One thread of one's own is no faster than the loop: then Compare computes each pair.
    const std::size_t cores = std::min(std::thread::hardware_concurrency(), 4u);
    const std::size_t workers = cores > 1 ? std::min(cores, m_pairs.size()) : 0;
    try {
        for (std::size_t k = 0; k < workers; ++k) m_workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads than asked for, or none: Compare computes what no worker takes.
    }
}

void ExactPairPath::Work() {
    SelectionSpace space;
    for (;;) {
        Pair* pair = nullptr;
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            if (m_stopping || m_next == m_pairs.size()) return;
            pair = &m_pairs[m_next++];
        }
        std::optional<ExactPairResults> result;
        std::exception_ptr error;
        try {
            result = Compute(*pair, space);
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            pair->Result = result;
            pair->Error = error;
        }
        m_done.notify_all();
    }
}

void ExactPairPath::Compare(AnalysisState& s, std::int16_t i, std::int16_t j, bool negate,
                            double meanDifference) {
    const double c = s.BootstrapNumberReal(i) * s.BootstrapNumberReal(j);
    ExactPairResults r;
    const auto started = std::find_if(m_pairs.begin(), m_pairs.end(),
                                      [&](const Pair& p) { return p.I == i && p.J == j; });
    if (started != m_pairs.end() && !m_workers.empty() && started->Negate == negate &&
        started->MeanDifference == meanDifference) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_done.wait(lock, [&] { return started->Result || started->Error; });
        if (started->Error) std::rethrow_exception(started->Error);
        r = *started->Result;
    } else {
        if (m_values.empty()) TakeValues(s);
        r = Compute({i, j, negate, meanDifference, PercentileRank(c, 0.025),
                     PercentileRank(c, 0.975), std::nullopt, nullptr},
                    m_space);
    }
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
