// How many Cartesian differences of two sorted samples lie below a bound, counted without forming
// them: the one count that both the exact path and the differences figure take.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace vortel {

// The differences minuend[a] - subtrahend[b], each the double the subtraction forms, that lie
// below `bound`. Both samples ascending, finite (no NaN, no infinity), and of fewer than 2^32
// values each: a larger sample stops with RunStopped; a value not finite or out of order gives a
// wrong count, never a read outside the samples. A rounded difference never falls as its minuend
// rises or its subtrahend falls, so one walk over both samples counts them: O(|minuend| +
// |subtrahend|), nothing allocated.
std::int64_t CountDifferencesBelow(std::span<const double> minuend,
                                   std::span<const double> subtrahend, double bound);

// Those at most `bound`: below the double just above it.
std::int64_t CountDifferencesAtMost(std::span<const double> minuend,
                                    std::span<const double> subtrahend, double bound);

// Stops (RunStopped) for a sample of 2^32 values or more: a walk keeps column numbers in 32 bits.
void CheckSampleSize(std::size_t size);

// The columns a walk searches in each row: all of them.
struct WholeRows {
    std::uint32_t Columns = 0;
    std::uint32_t First(std::size_t) const { return 0; }
    std::uint32_t End(std::size_t) const { return Columns; }
};

// The walk behind CountDifferencesBelow, for a caller that knows where in each row the crossing
// lies (between rows.First(a) and rows.End(a), all differences past End(a) below the bound) and
// may keep each row's crossing in `column` (|p| entries; null when only the count is wanted).
// Row a holds p[a] - q[b]; it falls as b rises, and its crossing, the first column below the
// bound, only moves right from one row to the next. A row's crossing lies a step or two on from
// the last row's, and finding it waits on reading where that one was: `Segments` runs of rows,
// walked side by side and each started from a search of its first row, keep several such waits
// in flight at once. The caller checks both sizes (CheckSampleSize).
template <std::size_t Segments, typename Rows>
std::int64_t WalkDifferencesBelow(std::span<const double> p, std::span<const double> q,
                                  double bound, const Rows& rows, std::uint32_t* column) {
    const std::size_t np = p.size();
    const auto nq = static_cast<std::uint32_t>(q.size());
    const double* qs = q.data();
    const double t = bound;
    // The first column of row a whose difference lies below t, from column `at` on.
    auto step = [&](std::size_t a, std::uint32_t at) {
        const double pa = p[a];
        const std::uint32_t stop = rows.End(a);
        at = std::max(at, rows.First(a));
        // Four tests at once spare the branch that would guess the count of steps wrong for
        // every other row.
        if (std::uint64_t{at} + 4 <= stop) {  // in 64 bits: a row may be 2^32 - 1 long
            const std::uint32_t steps = static_cast<std::uint32_t>(!(pa - qs[at] < t)) +
                                        static_cast<std::uint32_t>(!(pa - qs[at + 1] < t)) +
                                        static_cast<std::uint32_t>(!(pa - qs[at + 2] < t)) +
                                        static_cast<std::uint32_t>(!(pa - qs[at + 3] < t));
            at += steps;
            if (steps < 4) return at;
        }
        while (at < stop && !(pa - qs[at] < t)) ++at;
        return at;
    };
    const std::size_t length = np / Segments;
    std::array<std::uint32_t, Segments> at{};
    std::array<std::int64_t, Segments> count{};
    for (std::size_t s = 0; s < Segments; ++s) {
        const std::size_t a = s * length;
        if (a >= np) break;
        const double pa = p[a];
        at[s] = static_cast<std::uint32_t>(
            std::partition_point(qs + rows.First(a), qs + rows.End(a),
                                 [&](double v) { return !(pa - v < t); }) -
            qs);
    }
    for (std::size_t k = 0; k < length; ++k) {
        for (std::size_t s = 0; s < Segments; ++s) {
            const std::size_t a = s * length + k;
            at[s] = step(a, at[s]);
            if (column) column[a] = at[s];
            count[s] += nq - at[s];
        }
    }
    // The rows left over continue the last run.
    std::uint32_t last = Segments * length > 0 ? at[Segments - 1] : 0;
    std::int64_t total = 0;
    for (std::size_t a = Segments * length; a < np; ++a) {
        last = step(a, last);
        if (column) column[a] = last;
        total += nq - last;
    }
    for (const std::int64_t c : count) total += c;
    return total;
}

}  // namespace vortel
