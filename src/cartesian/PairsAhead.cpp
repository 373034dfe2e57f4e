#include "cartesian/PairsAhead.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <system_error>

#include "cartesian/ExactPairPath.h"
#include "shell/state/PairOrder.h"

namespace vortel {

namespace {

bool Requested(const StopToken* stop) { return stop != nullptr && stop->Requested(); }

std::size_t PlaceOf(std::int16_t i, std::int16_t j) {
    return static_cast<std::size_t>(i) * (MostTreatments + 1) + static_cast<std::size_t>(j);
}

}  // namespace

PairsAhead::~PairsAhead() {
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    for (std::thread& worker : m_workers) worker.join();
}

PairsAhead::Pair PairsAhead::Define(const AnalysisState& s, std::int16_t i, std::int16_t j) {
    const double c = CartesianCount(s, i, j);
    Pair pair;
    pair.I = i;
    pair.J = j;
    pair.Negate = !FirstMinusSecond(s, i, j);
    pair.MeanDifference = std::fabs(s.BootstrapMean(i) - s.BootstrapMean(j));
    pair.Exact = PastTheLists(c);
    pair.RankLower = PercentileRank(c, 0.025);
    pair.RankUpper = PercentileRank(c, 0.975);
    return pair;
}

std::span<const double> PairsAhead::SortedValues(std::int16_t t) const {
    const auto k = static_cast<std::size_t>(t);
    // Each sample was made before the pair that needed it was handed to the loop, under the
    // lock the loop took to receive it.
    if (k >= m_samples.size() || !m_samples[k]) return {};
    return m_samples[k]->Values;
}

const SortedSample& PairsAhead::Sample(std::int16_t t) {
    const auto k = static_cast<std::size_t>(t);
    std::call_once(*m_sorted[k], [&] {
        m_samples[k] =
            std::make_unique<const SortedSample>(SortedSample::From(m_values[k], m_stop));
    });
    return *m_samples[k];
}

PairsAhead::Outcome PairsAhead::Compute(const Pair& pair, SelectionSpace& space) {
    if (!pair.Exact) {
        return TallyDifferences(m_values[static_cast<std::size_t>(pair.I)],
                                m_values[static_cast<std::size_t>(pair.J)], pair.Negate,
                                pair.MeanDifference);
    }
    return ExactPairStatistics(Sample(pair.I), Sample(pair.J), pair.Negate, pair.MeanDifference,
                               pair.RankLower, pair.RankUpper, space);
}

void PairsAhead::TakeValues(AnalysisState& s) {
    const std::int16_t n = s.TreatmentCount;
    m_values.assign(static_cast<std::size_t>(n) + 1, {});
    m_samples.clear();
    m_samples.resize(static_cast<std::size_t>(n) + 1);
    m_sorted.clear();
    for (std::int16_t t = 0; t <= n; ++t) m_sorted.push_back(std::make_unique<std::once_flag>());
    for (std::int16_t t = 1; t <= n; ++t) {
        const auto b = static_cast<std::int64_t>(s.BootstrapNumberReal(t));
        m_values[static_cast<std::size_t>(t)] = {s.WorkingValues.List(t).Through(b) + 1,
                                                 static_cast<std::size_t>(b)};
    }
}

void PairsAhead::Start(AnalysisState& s, const StopToken* stop) {
    m_stop = stop;
    m_space.Stop = stop;
    TakeValues(s);
    const std::int16_t n = s.TreatmentCount;
    m_place.assign(PlaceOf(MostTreatments, MostTreatments) + 1, NotAhead);
    bool sorting = false;
    for (std::int16_t i = 1; i < n; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            const Pair pair = Define(s, i, j);
            sorting = sorting || !pair.Exact;
            if (m_given.count({i, j})) continue;
            // Detail files are written as the pass goes, in the loop.
            if (!pair.Exact && s.DetailedDifferences) continue;
            m_place[PlaceOf(i, j)] = m_pairs.size();
            m_pairs.push_back(pair);
        }
    }
    m_slots.resize(m_pairs.size());
    // A thread of its own is no faster than the loop; and while the loop sorts, it keeps a core.
    const std::size_t cores = std::min(std::thread::hardware_concurrency(), 4u);
    const std::size_t spare = cores > 1 ? cores - (sorting ? 1 : 0) : 0;
    const std::size_t workers = std::min(spare, m_pairs.size());
    try {
        for (std::size_t k = 0; k < workers; ++k) m_workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads than asked for, or none: the loop computes what no worker takes.
    }
}

void PairsAhead::Work() {
    SelectionSpace space;
    space.Stop = m_stop;
    for (;;) {
        std::size_t k = 0;
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            if (m_stopping || m_next == m_pairs.size() || Requested(m_stop)) return;
            k = m_next++;
        }
        Outcome result;
        std::exception_ptr error;
        try {
            result = Compute(m_pairs[k], space);
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            m_slots[k] = {std::move(result), error, true};
        }
        m_done.notify_all();
    }
}

PairsAhead::Outcome PairsAhead::Result(AnalysisState& s, std::int16_t i, std::int16_t j) {
    if (const auto given = m_given.find({i, j}); given != m_given.end()) return given->second;
    const std::size_t k = m_place.empty() ? NotAhead : m_place[PlaceOf(i, j)];
    if (k != NotAhead && !m_workers.empty()) {
        std::unique_lock<std::mutex> lock(m_lock);
        // A worker that sees the stop leaves its pair undone, so the wait looks at it too.
        while (
            !m_done.wait_for(lock, std::chrono::milliseconds(10), [&] { return m_slots[k].Done; }))
            StopIfRequested(m_stop);
        if (m_slots[k].Error) std::rethrow_exception(m_slots[k].Error);
        return m_slots[k].Result;
    }
    if (m_values.empty()) TakeValues(s);
    return Compute(k != NotAhead ? m_pairs[k] : Define(s, i, j), m_space);
}

void PairsAhead::Give(std::int16_t i, std::int16_t j, const ExactPairResults& results) {
    m_given[{i, j}] = results;
}

ExactPairResults PairsAhead::Exact(AnalysisState& s, std::int16_t i, std::int16_t j) {
    return std::get<ExactPairResults>(Result(s, i, j));
}

void PairsAhead::CompareExactly(AnalysisState& s, std::int16_t i, std::int16_t j) {
    const double c = CartesianCount(s, i, j);
    const ExactPairResults r = Exact(s, i, j);
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

PairTally PairsAhead::Tally(AnalysisState& s, std::int16_t i, std::int16_t j) {
    return std::get<PairTally>(Result(s, i, j));
}

}  // namespace vortel
