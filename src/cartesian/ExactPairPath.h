// Where a pair past the value lists leaves the partitioned sort's path: its results come from
// the exact path over the sorted samples, and detail files are not written for it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "cartesian/ExactLargePair.h"
#include "shell/state/Dialogues.h"
#include "shell/state/lifetabl.h"

namespace vortel {

// A pair whose C = B_i x B_j exceeds what a value list holds.
bool PastTheLists(double c);

// One test's pairs past the lists. Each treatment is sorted and summed once, on its first such
// pair, and kept for the others: memory in proportion to the treatments' values.
//
// Start hands every such pair of the test to worker threads, one per processor core up to
// four, which take them in the order of the pair loop; Compare then waits for its pair. The
// pairs are independent and each result is exact, so the report is the same byte for byte
// whatever the number of threads. Without Start, Compare computes its pair itself.
class ExactPairPath {
public:
    ExactPairPath() = default;
    ExactPairPath(const ExactPairPath&) = delete;
    ExactPairPath& operator=(const ExactPairPath&) = delete;
    // A test that stops part-way stops the workers after the pairs they hold.
    ~ExactPairPath();

    // The pairs (i < j, in the loop's order) past the lists, from the treatments' means and
    // WorkingValues, which stay as they are until the last pair is compared.
    void Start(AnalysisState& state);

    // Leaves every per-pair result of (i, j), its counts and CartesianIndex, PairSum and
    // PairSumOfSquares, from the treatments' WorkingValues; the differences are
    // WorkingValues(., i) - WorkingValues(., j), the other way round when `negate`. The sort's
    // fields (SortCount, SortGroupLimit and the rest) are not touched: the sort does not run.
    void Compare(AnalysisState& state, std::int16_t i, std::int16_t j, bool negate,
                 double meanDifference);

private:
    struct Pair {
        std::int16_t I = 0, J = 0;
        bool Negate = false;
        double MeanDifference = 0;
        std::int64_t RankLower = 0, RankUpper = 0;
        std::optional<ExactPairResults> Result;  // set by the worker that took the pair
        std::exception_ptr Error;
    };
    void TakeValues(AnalysisState& state);
    const SortedSample& Sample(std::int16_t t);
    ExactPairResults Compute(const Pair& pair, SelectionSpace& space);
    void Work();

    std::vector<std::span<const double>> m_values;  // by treatment
    std::vector<std::optional<SortedSample>> m_samples;
    std::vector<std::unique_ptr<std::once_flag>> m_sorted;
    SelectionSpace m_space;  // for pairs computed by Compare itself

    std::vector<Pair> m_pairs;
    std::size_t m_next = 0;  // the first pair no worker has taken
    bool m_stopping = false;
    std::mutex m_lock;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
};

// With detail files asked for and a pair past the lists, whose files would hold hundreds of
// gigabytes: when DetailFilesRequired is set the command stops, before anything is computed or
// written, naming the pair, its C and the size; otherwise the user is told so and the test runs
// without detail files (DetailedDifferences is cleared).
void SettleDetailFiles(AnalysisState& state, Dialogues& ui);

// About how many bytes a pair's detail files take for c differences: four records of a serial
// number and a difference each.
double DetailFileBytes(double c);

}  // namespace vortel
