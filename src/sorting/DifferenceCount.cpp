#include "sorting/DifferenceCount.h"

#include <cmath>
#include <string>

#include "shell/base/RunStopped.h"

namespace vortel {

void CheckSampleSize(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw RunStopped("A sample of " + std::to_string(size) +
                         " values is too large to walk its differences; a sample holds fewer "
                         "than 2^32 values.");
}

std::int64_t CountDifferencesBelow(std::span<const double> minuend,
                                   std::span<const double> subtrahend, double bound) {
    CheckSampleSize(minuend.size());
    CheckSampleSize(subtrahend.size());
    return WalkDifferencesBelow<8>(minuend, subtrahend, bound,
                                   WholeRows{static_cast<std::uint32_t>(subtrahend.size())},
                                   nullptr);
}

std::int64_t CountDifferencesAtMost(std::span<const double> minuend,
                                    std::span<const double> subtrahend, double bound) {
    return CountDifferencesBelow(minuend, subtrahend,
                                 std::nextafter(bound, std::numeric_limits<double>::infinity()));
}

}  // namespace vortel
