#include "sorting/QuickSort.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "shell/base/RunStopped.h"
#include "shell/state/PairScratch.h"
#include "shell/state/SessionFiles.h"
#include "sorting/GroupOrdering.h"

namespace vortel {

namespace {

// A group of one level: its first and last position and the mean its children split at.
struct Group {
    std::int32_t Start = 0;
    std::int32_t End = 0;
    double Mean = 0;
};

// Work list that is never read before it is written, so it skips the zero fill.
template <class T>
std::unique_ptr<T[]> Uninitialised(std::int32_t n) {
    return std::unique_ptr<T[]>(new T[static_cast<std::size_t>(n) + 1]);
}

}  // namespace

void QuickSort(PairScratch& work, SortHandOver& handOver, SessionFiles& files) {
    if (files.FlowRecord && !files.SortUtilityUsed) files.FlowLine("Sub QuickSort");
    const std::int32_t n = work.SortCount;
    if (n < 1) throw RunStopped("The sort was given " + std::to_string(n) + " values.");
    const double* input = work.SortInput.Through(n);
    const std::int32_t* inputSerial = work.SortInputSerial.Through(n);

    double total = 0;
    for (std::int32_t k = 1; k <= n; ++k) total += input[k];
    handOver.SortTotal = total;
    handOver.SortMean = total / n;
    if (!handOver.SortGroupLimitSet) {
        handOver.SortGroupLimit = 1024;
        handOver.SortGroupLimitSet = true;
    }

    // Levels alternate between the output pair and one scratch pair; only the level that is
    // finally ordered has to end up in the output pair.
    double* out = work.SortOutput.Through(n);
    std::int32_t* outSerial = work.SortOutputSerial.Through(n);
    std::unique_ptr<double[]> scratch;
    std::unique_ptr<std::int32_t[]> scratchSerial;

    std::vector<Group> parents{{1, n, handOver.SortMean}}, children;
    const double* from = input;
    const std::int32_t* fromSerial = inputSerial;
    int level = 1;
    for (;; ++level) {
        double* to = level % 2 == 1 ? out : scratch.get();
        std::int32_t* toSerial = level % 2 == 1 ? outSerial : scratchSerial.get();
        children.assign(2 * parents.size(), Group{});
        bool emptyChild = false;
        for (std::size_t q = 0; q < parents.size(); ++q) {
            const Group& parent = parents[q];
            // Lower values fill the range from its start in their order, the rest fill it
            // from its end, so their order turns round.
            std::int32_t lower = parent.Start, upper = parent.End;
            double lowerSum = 0, upperSum = 0;
            const double mean = parent.Mean;
            for (std::int32_t k = parent.Start; k <= parent.End; ++k) {
                const double v = from[k];
                const bool up = v >= mean;
                const std::int32_t at = up ? upper : lower;
                to[at] = v;
                toSerial[at] = fromSerial[k];
                upper -= up;
                lower += !up;
                // Adding 0 leaves a sum unchanged but for the sign of a zero sum, which no
                // split can see.
                upperSum += up ? v : 0.0;
                lowerSum += up ? 0.0 : v;
            }
            const std::int32_t lowerSize = lower - parent.Start;
            const std::int32_t upperSize = parent.End - upper;
            children[2 * q] = {parent.Start, lower - 1, lowerSum / lowerSize};
            children[2 * q + 1] = {upper + 1, parent.End, upperSum / upperSize};
            if (lowerSize == 0 || upperSize == 0) emptyChild = true;
        }
        if (emptyChild) {
            if (level == 1) {
                // One group only: the values stay in the order the split left.
                handOver.SortGroupLimit = 1;
                return;
            }
            handOver.SortGroupLimit = static_cast<std::int16_t>(parents.size());
            --level;
            break;
        }
        std::swap(parents, children);
        if (level == 10 || handOver.SortGroupLimit <= static_cast<std::int32_t>(parents.size()))
            break;
        if (!scratch) {
            scratch = Uninitialised<double>(n);
            scratchSerial = Uninitialised<std::int32_t>(n);
        }
        from = to;
        fromSerial = toSerial;
    }

    if (level % 2 == 0) {
        std::copy(scratch.get() + 1, scratch.get() + n + 1, out + 1);
        std::copy(scratchSerial.get() + 1, scratchSerial.get() + n + 1, outSerial + 1);
    }
    GroupOrdering ordering;
    for (const Group& g : parents)
        ordering.Order(out + g.Start, outSerial + g.Start, g.End - g.Start + 1);
}

}  // namespace vortel
