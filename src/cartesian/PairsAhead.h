// A test's pairs computed ahead of the pair loop on worker threads: the exact path of every pair
// past the value lists, and the one pass over the differences of every pair within them when no
// detail files are written. The partitioned sort stays in the loop, which hands its run-wide
// group limit from one pair to the next.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "cartesian/ExactLargePair.h"
#include "cartesian/PairComparisons.h"

namespace vortel {

// Workers, one per processor core up to four (one fewer while the loop sorts pairs of its own),
// take the pairs in the loop's order; the loop then waits for each. Every pair is independent
// of the others and computed as it would be alone, so the report is the same byte for byte
// whatever the number of threads. A treatment past the lists is sorted and summed once, on its
// first such pair, and kept for the others: memory in proportion to the treatments' values.
// Without Start, or on one core, each pair is computed when the loop asks for it.
class PairsAhead {
public:
    PairsAhead() = default;
    PairsAhead(const PairsAhead&) = delete;
    PairsAhead& operator=(const PairsAhead&) = delete;
    // A test that stops part-way stops the workers after the pairs they hold.
    ~PairsAhead();

    // The pairs (i < j), from the treatments' means, WorkingValues and DetailedDifferences,
    // which stay as they are until the last pair is compared. The workers read the values
    // through const views and the sorted samples as const, each sample made once: no worker
    // writes anything another reads but its own pair's result.
    // A request on `stop` ends the workers between their steps (each walk of the exact path,
    // each pair) and the loop's wait for a pair, which throws CommandStopped; the workers are
    // joined before the stop leaves the test.
    void Start(const TestOptions& options, const Treatments& treatments, PairScratch& work,
               const StopToken* stop = nullptr);

    // Past the lists: leaves every per-pair result of (i, j), its counts and CartesianIndex,
    // PairSum and PairSumOfSquares, from the treatments' WorkingValues, the differences
    // oriented as the test orients them (larger bootstrap mean first). The sort's fields
    // (SortCount, SortGroupLimit and the rest) are not touched: the sort does not run.
    void CompareExactly(const Treatments& treatments, PairScratch& work, TestResults& results,
                        std::int16_t i, std::int16_t j);

    // Past the lists: the pair's results as CompareExactly leaves them.
    ExactPairResults Exact(const Treatments& treatments, PairScratch& work, std::int16_t i,
                           std::int16_t j);
    // Before Start: the results of an exact pair that another instance computed, taken in
    // place of computing them (ExactPairShare.h).
    void Give(std::int16_t i, std::int16_t j, const ExactPairResults& results);

    // Within the lists: TallyDifferences of the pair, oriented the same way.
    PairTally Tally(const Treatments& treatments, PairScratch& work, std::int16_t i,
                    std::int16_t j);
    // After the last pair: treatment t's values in increasing order where a pair past the lists
    // sorted them, else nothing (an empty span).
    std::span<const double> SortedValues(std::int16_t t) const;
    // Either throws what the pair's computation threw, on whichever thread it ran: RunStopped
    // for a sample the exact path refuses (ExactLargePair.h), std::bad_alloc for memory.

private:
    using Outcome = std::variant<std::monostate, ExactPairResults, PairTally>;
    // What a pair's computation needs, fixed before any worker starts.
    struct Pair {
        std::int16_t I = 0, J = 0;
        bool Negate = false;
        double MeanDifference = 0;
        bool Exact = false;
        std::int64_t RankLower = 0, RankUpper = 0;
    };
    // Set by the worker that took the pair, under the lock.
    struct Slot {
        Outcome Result;
        std::exception_ptr Error;
        bool Done = false;
    };
    static Pair Define(const Treatments& treatments, std::int16_t i, std::int16_t j);
    void TakeValues(const Treatments& treatments, PairScratch& work);
    const SortedSample& Sample(std::int16_t t);
    Outcome Compute(const Pair& pair, SelectionSpace& space);
    // The pair's result, from its worker or computed here.
    Outcome Result(const Treatments& treatments, PairScratch& work, std::int16_t i, std::int16_t j);
    void Work();

    std::vector<std::span<const double>> m_values;  // by treatment
    std::vector<std::unique_ptr<const SortedSample>> m_samples;
    std::vector<std::unique_ptr<std::once_flag>> m_sorted;
    SelectionSpace m_space;  // for pairs computed in the loop

    std::vector<Pair> m_pairs;  // in the loop's order; not changed once the workers start
    std::vector<Slot> m_slots;  // m_slots[k] is m_pairs[k]'s
    // The place in m_pairs of pair (i, j) at i * (MostTreatments + 1) + j; NotAhead for a
    // pair the loop computes itself.
    static constexpr std::size_t NotAhead = static_cast<std::size_t>(-1);
    std::vector<std::size_t> m_place;
    std::map<std::pair<std::int16_t, std::int16_t>, ExactPairResults> m_given;
    std::size_t m_next = 0;  // the first pair no worker has taken
    bool m_stopping = false;
    const StopToken* m_stop = nullptr;
    std::mutex m_lock;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
};

}  // namespace vortel
