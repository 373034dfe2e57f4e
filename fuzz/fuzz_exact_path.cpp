// The exact path's rank selection and counts against forming and sorting every difference, on
// small, tie-heavy samples (a few thousand values in all): the difference at any rank, the
// percentile limits and the counts of a pair, the counts below and at most any bound, and the
// differences figure's histogram must each agree to the last bit.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>
#include <vector>

#include "cartesian/ExactLargePair.h"
#include "cartesian/PairComparisons.h"
#include "report/DifferenceHistogram.h"
#include "sorting/DifferenceCount.h"

namespace {

using vortel::SortedSample;

[[noreturn]] void Fail(const char* what, double expected, double found) {
    std::fprintf(stderr, "exact path: %s: expected %.17g, found %.17g\n", what, expected, found);
    std::abort();
}

void Expect(const char* what, double expected, double found) {
    // Equal as doubles, and a zero is +0 wherever the exact path gives one.
    if (!(expected == found)) Fail(what, expected, found);
}

// Sixteen values to a palette, each palette rich in ties once differences are rounded: quarters;
// fiftieths; values near 1E16, whose differences with small ones round to even numbers; and
// signed zeros, a value a unit above zero and values a unit apart about 1.
double Value(int palette, std::uint8_t code) {
    const int k = code % 16;
    switch (palette) {
        case 0:
            return (k - 8) / 4.0;
        case 1:
            return (static_cast<int>(code) - 128) / 50.0;
        case 2:
            return k < 8 ? 1e16 + 2.0 * k : (k - 12) * 0.75;
        default: {
            const double values[] = {0.0,  -0.0,   std::numeric_limits<double>::denorm_min(),
                                     1.0,  -1.0,   std::nextafter(1.0, 2.0),
                                     0.5,  1e-300, std::nextafter(1.0, 0.0),
                                     3.0,  -3.0,   0.1,
                                     0.2,  0.3,    -0.1,
                                     1e150};
            return values[k];
        }
    }
}

// A sample of `count` values from the input's bytes, read round and round with a twist on each
// round, so that a short input can make a sample past the thinning's 512 values.
std::vector<double> Sample(std::span<const std::uint8_t> bytes, int palette, std::size_t count) {
    std::vector<double> v(count);
    for (std::size_t k = 0; k < count; ++k) {
        const auto round = static_cast<std::uint8_t>(k / bytes.size());
        v[k] = Value(palette, static_cast<std::uint8_t>(bytes[k % bytes.size()] + 37 * round));
    }
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Four bytes of plan, then at least one value byte for each sample.
    if (size < 6) return 0;
    const bool negate = (data[0] & 1) != 0;
    const int paletteX = (data[0] >> 1) & 3, paletteY = (data[0] >> 3) & 3;
    const std::span<const std::uint8_t> bytes(data + 4, size - 4);
    const std::size_t split = 1 + data[1] % (bytes.size() - 1);
    // Up to 2,000 values a sample and 300,000 differences, so that sorting them all stays quick.
    const std::size_t nx = std::min<std::size_t>(split * (1 + data[2] % 8), 2000);
    const std::size_t ny =
        std::min<std::size_t>((bytes.size() - split) * (1 + data[3] % 8), 300'000 / nx);
    if (ny == 0) return 0;
    const std::vector<double> x = Sample(bytes.first(split), paletteX, nx);
    const std::vector<double> y = Sample(bytes.subspan(split), paletteY, ny);
    // Values up to 1E+150 in size, the test's own limit, keep every difference finite.
    const SortedSample sx = SortedSample::From(x), sy = SortedSample::From(y);
    const std::vector<double>& minuend = negate ? sy.Values : sx.Values;
    const std::vector<double>& subtrahend = negate ? sx.Values : sy.Values;

    std::vector<double> d;
    d.reserve(nx * ny);
    for (const double p : minuend)
        for (const double q : subtrahend) d.push_back(p - q);
    std::sort(d.begin(), d.end());
    const auto c = static_cast<std::int64_t>(d.size());
    auto below = [&](double v) {
        return static_cast<double>(std::lower_bound(d.begin(), d.end(), v) - d.begin());
    };
    auto atMost = [&](double v) {
        return static_cast<double>(std::upper_bound(d.begin(), d.end(), v) - d.begin());
    };
    auto atRank = [&](std::int64_t rank) {
        const double v = d[static_cast<std::size_t>(rank - 1)];
        return v == 0 ? 0.0 : v;
    };

    // The pair as the test takes it, with D from the input's means.
    double meanX = 0, meanY = 0;
    for (const double v : x) meanX += v / static_cast<double>(nx);
    for (const double v : y) meanY += v / static_cast<double>(ny);
    const double meanDifference = std::fabs(meanX - meanY);
    const std::int64_t lower = vortel::PercentileRank(static_cast<double>(c), 0.025);
    const std::int64_t upper = vortel::PercentileRank(static_cast<double>(c), 0.975);
    vortel::SelectionSpace space;
    const vortel::ExactPairResults r =
        vortel::ExactPairStatistics(sx, sy, negate, meanDifference, lower, upper, space);
    // Low: not above 0; high: above 0 and at or above 2D.
    const double twice = 2 * meanDifference;
    const auto low =
        static_cast<double>(std::count_if(d.begin(), d.end(), [](double v) { return v <= 0; }));
    const auto high = static_cast<double>(
        std::count_if(d.begin(), d.end(), [&](double v) { return v > 0 && v >= twice; }));
    Expect("low count", low, static_cast<double>(r.Low));
    Expect("high count", high, static_cast<double>(r.High));
    Expect("significant count", static_cast<double>(c) - low - high,
           static_cast<double>(r.Significant));
    Expect("lower percentile limit", atRank(lower), r.PercentileLower);
    Expect("upper percentile limit", atRank(upper), r.PercentileUpper);
    for (const double limit : {r.PercentileLower, r.PercentileUpper})
        if (limit == 0 && std::signbit(limit)) Fail("a zero limit is -0", 0, limit);

    // Ranks at both ends and from the input, and counts about each difference found there.
    std::vector<std::int64_t> ranks{1, c, lower, upper};
    for (std::size_t k = 0; k + 1 < std::min<std::size_t>(bytes.size(), 16); k += 2)
        ranks.push_back(1 + (bytes[k] * 256 + bytes[k + 1]) * (c - 1) / 65535);
    for (const std::int64_t rank : ranks) {
        const double v = vortel::DifferenceAtRank(sx.Values, sy.Values, negate, rank);
        Expect("difference at a rank", atRank(rank), v);
        if (v == 0 && std::signbit(v)) Fail("a zero at a rank is -0", 0, v);
        for (const double bound : {v, std::nextafter(v, -INFINITY), std::nextafter(v, INFINITY)}) {
            Expect("count below", below(bound),
                   static_cast<double>(vortel::CountDifferencesBelow(minuend, subtrahend, bound)));
            Expect("count at most", atMost(bound),
                   static_cast<double>(vortel::CountDifferencesAtMost(minuend, subtrahend, bound)));
        }
    }

    // The figure's histogram: each bin's count from the sorted differences.
    const vortel::DifferenceHistogram h = vortel::HistogramOfDifferences(minuend, subtrahend, 7);
    double before = 0;
    for (std::size_t k = 0; k < h.Counts.size(); ++k) {
        const double next =
            k + 1 < h.Counts.size() ? below(h.Edges[k + 1]) : static_cast<double>(c);
        Expect("histogram bin", next - before, static_cast<double>(h.Counts[k]));
        before = next;
    }
    return 0;
}
