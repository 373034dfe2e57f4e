#include "cartesian/PairsAhead.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <system_error>

#include "cartesian/ExactPairPath.h"
#include "cartesian/result/PairOrder.h"

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

PairsAhead::Pair PairsAhead::Define(const Treatments& treatments, std::int16_t i, std::int16_t j) {
    const double c = CartesianCount(treatments, i, j);
    Pair pair;
    pair.I = i;
    pair.J = j;
    pair.Negate = !FirstMinusSecond(treatments, i, j);
    pair.MeanDifference = std::fabs(treatments.BootstrapMean(i) - treatments.BootstrapMean(j));
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

void PairsAhead::TakeValues(const Treatments& treatments, PairScratch& work) {
    const std::int16_t n = treatments.TreatmentCount;
    m_values.assign(static_cast<std::size_t>(n) + 1, {});
    m_samples.clear();
    m_samples.resize(static_cast<std::size_t>(n) + 1);
    m_sorted.clear();
    for (std::int16_t t = 0; t <= n; ++t) m_sorted.push_back(std::make_unique<std::once_flag>());
    for (std::int16_t t = 1; t <= n; ++t) {
        const auto b = static_cast<std::int64_t>(treatments.BootstrapNumberReal(t));
        m_values[static_cast<std::size_t>(t)] = {work.WorkingValues.List(t).Through(b) + 1,
                                                 static_cast<std::size_t>(b)};
    }
}

void PairsAhead::Start(const TestOptions& options, const Treatments& treatments, PairScratch& work,
                       const StopToken* stop) {
    m_stop = stop;
    m_space.Stop = stop;
    TakeValues(treatments, work);
    const std::int16_t n = treatments.TreatmentCount;
    m_place.assign(PlaceOf(MostTreatments, MostTreatments) + 1, NotAhead);
    bool sorting = false;
    for (std::int16_t i = 1; i < n; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            const Pair pair = Define(treatments, i, j);
            sorting = sorting || !pair.Exact;
            if (m_given.count({i, j})) continue;
            // Detail files are written as the pass goes, in the loop.
            if (!pair.Exact && options.DetailedDifferences) continue;
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

PairsAhead::Outcome PairsAhead::Result(const Treatments& treatments, PairScratch& work,
                                       std::int16_t i, std::int16_t j) {
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
    if (m_values.empty()) TakeValues(treatments, work);
    return Compute(k != NotAhead ? m_pairs[k] : Define(treatments, i, j), m_space);
}

void PairsAhead::Give(std::int16_t i, std::int16_t j, const ExactPairResults& results) {
    m_given[{i, j}] = results;
}

ExactPairResults PairsAhead::Exact(const Treatments& treatments, PairScratch& work, std::int16_t i,
                                   std::int16_t j) {
    return std::get<ExactPairResults>(Result(treatments, work, i, j));
}

void PairsAhead::CompareExactly(const Treatments& treatments, PairScratch& work,
                                TestResults& results, std::int16_t i, std::int16_t j) {
    const double c = CartesianCount(treatments, i, j);
    const ExactPairResults r = Exact(treatments, work, i, j);
    work.CartesianIndex = static_cast<std::int64_t>(c);
    work.LowCount(i, j) = r.Low;
    work.HighCount(i, j) = r.High;
    results.SignificantCount(i, j) = r.Significant;
    results.CartesianMean(i, j) = r.Mean;
    results.CartesianVariance(i, j) = r.Variance;
    results.CartesianSD(i, j) = r.SD;
    work.PairSum = r.Mean * c;
    work.PairSumOfSquares = r.Variance * (c - 1) + r.Mean * r.Mean * c;
    results.PercentileLower(i, j) = r.PercentileLower;
    results.PercentileUpper(i, j) = r.PercentileUpper;
}

PairTally PairsAhead::Tally(const Treatments& treatments, PairScratch& work, std::int16_t i,
                            std::int16_t j) {
    return std::get<PairTally>(Result(treatments, work, i, j));
}

}  // namespace vortel
