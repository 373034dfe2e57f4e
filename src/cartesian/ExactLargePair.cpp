#include "cartesian/ExactLargePair.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "shell/RunStopped.h"

namespace vortel {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// --- Sums in two doubles ----------------------------------------------------------------------

struct TwoDoubles {
    double High = 0, Low = 0;
};

// a + b = High + Low exactly (Knuth).
TwoDoubles TwoSum(double a, double b) {
    const double s = a + b;
    const double bPart = s - a;
    return {s, (a - (s - bPart)) + (b - bPart)};
}

// The same when |a| >= |b| (Dekker): High is a + b rounded, Low what the rounding left.
TwoDoubles Normalised(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b = High + Low exactly, by Dekker's split: no fused multiply-add is needed, and the values
// of a test (below 1E+150 in size) leave the split room.
TwoDoubles TwoProduct(double a, double b) {
    constexpr double Splitter = 134217729.0;  // 2^27 + 1
    auto split = [](double v) {
        const double t = Splitter * v;
        const double high = t - (t - v);
        return TwoDoubles{high, v - high};
    };
    const TwoDoubles sa = split(a), sb = split(b);
    const double p = a * b;
    const double e =
        ((sa.High * sb.High - p) + sa.High * sb.Low + sa.Low * sb.High) + sa.Low * sb.Low;
    return {p, e};
}

TwoDoubles Plus(TwoDoubles x, TwoDoubles y) {
    TwoDoubles s = TwoSum(x.High, y.High);
    const TwoDoubles t = TwoSum(x.Low, y.Low);
    s = Normalised(s.High, s.Low + t.High);
    return Normalised(s.High, s.Low + t.Low);
}

TwoDoubles Times(TwoDoubles x, double y) {
    const TwoDoubles p = TwoProduct(x.High, y);
    return Normalised(p.High, p.Low + x.Low * y);
}

TwoDoubles DividedBy(TwoDoubles x, double y) {
    const double q = x.High / y;
    const TwoDoubles p = TwoProduct(q, y);
    return Normalised(q, ((x.High - p.High) - p.Low + x.Low) / y);
}

// The square root of x, rounded once: the root of the high part, corrected by one Newton step
// taken with the low part.
double SquareRoot(TwoDoubles x) {
    if (!(x.High > 0)) return 0;
    const double r = std::sqrt(x.High);
    const TwoDoubles square = TwoProduct(r, r);
    return r + ((x.High - square.High) - square.Low + x.Low) / (2 * r);
}

// A running sum that keeps what every addition rounds away (Neumaier's compensation).
struct CompensatedSum {
    double Sum = 0, Error = 0;
    void Add(double v) {
        const TwoDoubles s = TwoSum(Sum, v);
        Sum = s.High;
        Error += s.Low;
    }
    TwoDoubles Value() const { return Normalised(Sum, Error); }
};

// --- Sorting a sample ---------------------------------------------------------------------

// Doubles as unsigned integers in the same order: negative values turned round, -0 just below
// +0.
std::uint64_t OrderKey(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

double FromOrderKey(std::uint64_t key) {
    return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// Ascending order by six passes of eleven bits over the keys, a pass skipped where every key
// has the same digit (the sign and exponent of values of one size): linear, where a comparison
// sort of a million values costs several times as much.
void SortAscending(std::vector<double>& values) {
    const std::size_t n = values.size();
    if (n < 4096) {
        std::sort(values.begin(), values.end());
        return;
    }
    constexpr int Bits = 11, Passes = 6;
    constexpr std::size_t Digits = std::size_t{1} << Bits;
    std::vector<std::uint64_t> keys(n), moved(n);
    std::vector<std::array<std::size_t, Digits>> counts(Passes);
    for (std::size_t k = 0; k < n; ++k) {
        keys[k] = OrderKey(values[k]);
        for (int pass = 0; pass < Passes; ++pass)
            ++counts[pass][(keys[k] >> (pass * Bits)) & (Digits - 1)];
    }
    for (int pass = 0; pass < Passes; ++pass) {
        auto& count = counts[pass];
        if (std::find(count.begin(), count.end(), n) != count.end()) continue;
        std::size_t start = 0;
        for (std::size_t& c : count) start += std::exchange(c, start);
        for (const std::uint64_t key : keys)
            moved[count[(key >> (pass * Bits)) & (Digits - 1)]++] = key;
        keys.swap(moved);
    }
    for (std::size_t k = 0; k < n; ++k) values[k] = FromOrderKey(keys[k]);
}

// --- The sorted difference matrix -------------------------------------------------------------

// Differences p[a] - q[b] of two ascending samples. Along a row (a fixed) they fall as b rises,
// and the column where a row crosses a bound only moves right from one row to the next.
struct Matrix {
    std::span<const double> P, Q;
    std::int64_t Count() const {
        return static_cast<std::int64_t>(P.size()) * static_cast<std::int64_t>(Q.size());
    }
};

Matrix Oriented(std::span<const double> x, std::span<const double> y, bool negate) {
    return negate ? Matrix{y, x} : Matrix{x, y};
}

// The differences that lie in [Lo, Hi]: in row a, columns First[a] to End[a] - 1 (all of them
// while Whole). Below counts the differences under Lo, AtMost those up to Hi.
struct Band {
    double Lo = -Infinity, Hi = Infinity;
    std::int64_t Below = 0, AtMost = 0;
    bool Whole = true;
    std::vector<std::uint32_t> First, End;

    std::int64_t Size() const { return AtMost - Below; }
    std::uint32_t FirstAt(std::size_t a) const { return Whole ? 0 : First[a]; }
    std::uint32_t EndAt(std::size_t a, std::uint32_t columns) const {
        return Whole ? columns : End[a];
    }
};

// One bound: in every row, the first column whose difference lies below it, and how many
// differences of the whole matrix lie below it. "At most v" is "below the double after v".
struct Cut {
    double Bound = 0;
    std::vector<std::uint32_t>* Column = nullptr;  // none when only the count is wanted
    std::int64_t Count = 0;
};

// K cuts in one walk over the rows, each looked for inside the band (where its bound lies) or
// the whole matrix: the samples are read once for all of them.
template <std::size_t K, bool Whole, bool Columns>
void WalkRows(const Matrix& m, const Band& band, std::span<Cut> cuts) {
    const std::size_t np = m.P.size();
    const auto nq = static_cast<std::uint32_t>(m.Q.size());
    const double* p = m.P.data();
    const double* q = m.Q.data();
    const std::uint32_t* first = Whole ? nullptr : band.First.data();
    const std::uint32_t* end = Whole ? nullptr : band.End.data();
    std::array<double, K> bound;
    std::array<std::uint32_t*, K> column{};
    std::array<std::uint32_t, K> j{};
    std::array<std::int64_t, K> count{};
    for (std::size_t k = 0; k < K; ++k) {
        bound[k] = cuts[k].Bound;
        if constexpr (Columns) {
            cuts[k].Column->resize(np);
            column[k] = cuts[k].Column->data();
        }
    }
    for (std::size_t a = 0; a < np; ++a) {
        const double pa = p[a];
        const std::uint32_t rowFirst = Whole ? 0 : first[a];
        const std::uint32_t rowEnd = Whole ? nq : end[a];
        for (std::size_t k = 0; k < K; ++k) {
            const double t = bound[k];
            std::uint32_t at = std::max(j[k], rowFirst);
            // A row's cut lies a step or two on from the last row's: four tests at once spare
            // the branch that would guess the count of steps wrong for every other row.
            if (at + 4 <= rowEnd) {
                const std::uint32_t steps = static_cast<std::uint32_t>(!(pa - q[at] < t)) +
                                            static_cast<std::uint32_t>(!(pa - q[at + 1] < t)) +
                                            static_cast<std::uint32_t>(!(pa - q[at + 2] < t)) +
                                            static_cast<std::uint32_t>(!(pa - q[at + 3] < t));
                at += steps;
                if (steps == 4)
                    while (at < rowEnd && !(pa - q[at] < t)) ++at;
            } else {
                while (at < rowEnd && !(pa - q[at] < t)) ++at;
            }
            j[k] = at;
            if constexpr (Columns) column[k][a] = at;
            count[k] += nq - at;
        }
    }
    for (std::size_t k = 0; k < K; ++k) cuts[k].Count = count[k];
}

// The cuts of the whole matrix, counted only.
void CountCuts(const Matrix& m, std::span<Cut> cuts) {
    const Band whole;
    if (cuts.size() == 2) return WalkRows<2, true, false>(m, whole, cuts);
    for (std::size_t k = 0; k < cuts.size(); ++k)
        WalkRows<1, true, false>(m, whole, cuts.subspan(k, 1));
}

// Two or four cuts inside the band, with their columns.
void WalkBand(const Matrix& m, const Band& band, std::span<Cut> cuts) {
    if (cuts.size() == 2)
        band.Whole ? WalkRows<2, true, true>(m, band, cuts)
                   : WalkRows<2, false, true>(m, band, cuts);
    else
        band.Whole ? WalkRows<4, true, true>(m, band, cuts)
                   : WalkRows<4, false, true>(m, band, cuts);
}

// Uniform doubles in [0, 1) for the draws; any fixed sequence serves, only the speed depends on
// it.
class Uniform {
public:
    double operator()() {
        m_state += 0x9E3779B97F4A7C15u;  // SplitMix64
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1p-53;
    }

private:
    std::uint64_t m_state = 20240307;
};

void CheckRank(const Matrix& m, std::int64_t rank) {
    if (rank < 1 || rank > m.Count())
        throw RunStopped("Rank " + std::to_string(rank) + " lies outside the " +
                         std::to_string(m.Count()) + " differences of the pair.");
}

double PlusZero(double x) { return x == 0 ? 0.0 : x; }

// The band's differences gathered and the wanted one picked out.
double Gather(const Matrix& m, const Band& band, std::int64_t rank, std::vector<double>& values) {
    const auto nq = static_cast<std::uint32_t>(m.Q.size());
    values.clear();
    for (std::size_t a = 0; a < m.P.size(); ++a)
        for (std::uint32_t b = band.FirstAt(a); b < band.EndAt(a, nq); ++b)
            values.push_back(m.P[a] - m.Q[b]);
    const auto at = values.begin() + (rank - band.Below - 1);
    std::nth_element(values.begin(), at, values.end());
    return PlusZero(*at);
}

// Differences drawn from the band, one from each of as many equal runs of its positions (row
// by row): every difference is equally likely, and the draws come in row order unsorted. The
// positions are found first and the values read after, so the reads, scattered over the
// subtrahend, do not wait on one another.
void Draw(const Matrix& m, const Band& band, std::vector<double>& values,
          std::vector<std::uint64_t>& positions, Uniform& uniform) {
    const auto nq = static_cast<std::uint32_t>(m.Q.size());
    const double size = static_cast<double>(band.Size());
    const double count = static_cast<double>(values.size());
    positions.resize(values.size());
    std::size_t a = 0;
    std::int64_t rowStart = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double at = std::floor((static_cast<double>(k) + uniform()) * size / count);
        const std::int64_t pick = std::min(static_cast<std::int64_t>(at), band.Size() - 1);
        while (pick >= rowStart + (band.EndAt(a, nq) - band.FirstAt(a)))
            rowStart += band.EndAt(a, nq) - band.FirstAt(a), ++a;
        positions[k] = std::uint64_t{a} << 32 |
                       (band.FirstAt(a) + static_cast<std::uint64_t>(pick - rowStart));
    }
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = m.P[positions[k] >> 32] - m.Q[positions[k] & 0xFFFFFFFFu];
}

// Selects the difference at `rank` within a band of the sorted difference matrix that holds it.
// Draws from the band bracket the rank: the two drawn values about its share, four standard
// deviations apart, hold it with a probability of 1 - 6E-5, and the band shrinks to them, or
// past one of them when they miss. Only the speed depends on the draws.
double Select(const Matrix& m, std::int64_t rank, SelectionSpace& space) {
    const std::size_t np = m.P.size(), nq = m.Q.size();
    // Few enough to gather: no more than the two samples hold, so memory stays O(B).
    const auto gatherLimit = std::max<std::int64_t>(1 << 16, static_cast<std::int64_t>(np + nq));
    constexpr std::size_t Draws = 1 << 16;
    constexpr double Spread = 4;
    Uniform uniform;
    std::vector<double>& drawn = space.Drawn;
    drawn.resize(Draws);

    // The band's two lists and four for the cuts, lent by the space and handed back at the end;
    // a band takes over a cut's list by exchange.
    auto take = [&] {
        std::vector<std::uint32_t> list;
        if (!space.Lists.empty()) list.swap(space.Lists.back()), space.Lists.pop_back();
        list.resize(np);
        return list;
    };
    Band band;
    band.AtMost = m.Count();
    band.First = take();
    band.End = take();
    std::array<std::vector<std::uint32_t>, 4> columns{take(), take(), take(), take()};
    // Set when the band did not shrink (every difference left in it ties with one of the two
    // drawn values): the next walk also cuts just above the low one and just below the high
    // one, which takes both out.
    bool stalled = false;
    double found = 0;
    for (;;) {
        if (band.Lo == band.Hi) {
            found = PlusZero(band.Lo);
            break;
        }
        if (band.Size() <= gatherLimit) {
            found = Gather(m, band, rank, space.Gathered);
            break;
        }
        Draw(m, band, drawn, space.Positions, uniform);
        const double share =
            (static_cast<double>(rank - band.Below) - 0.5) / static_cast<double>(band.Size());
        const double middle = share * Draws;
        const double reach = Spread * std::sqrt(Draws * share * (1 - share)) + 1;
        auto position = [&](double at) {
            return static_cast<std::size_t>(std::clamp(at, 0.0, double{Draws - 1}));
        };
        const std::size_t lowAt = position(std::floor(middle - reach));
        const std::size_t highAt = position(std::ceil(middle + reach));
        std::nth_element(drawn.begin(), drawn.begin() + lowAt, drawn.end());
        const double low = drawn[lowAt];
        // The second pick only rearranges what lies above the first.
        std::nth_element(drawn.begin() + lowAt, drawn.begin() + highAt, drawn.end());
        const double high = drawn[highAt];

        // Below low and at most high; when stalled, also at most low and below high.
        const double bounds[] = {low, std::nextafter(high, Infinity), std::nextafter(low, Infinity),
                                 high};
        std::array<Cut, 4> cuts;
        const std::size_t walked = stalled ? 4 : 2;
        for (std::size_t k = 0; k < walked; ++k) cuts[k] = {bounds[k], &columns[k], 0};
        WalkBand(m, band, std::span(cuts).first(walked));

        // Differences below v are those at most the double just under v, so the band's bounds
        // stay inclusive. A band that was whole gets the other end of its rows filled in.
        const std::int64_t below = band.Below, atMost = band.AtMost;
        auto setLow = [&](const Cut& cut, double lo) {
            band.Lo = lo;
            band.Below = cut.Count;
            band.End.swap(*cut.Column);
            if (band.Whole) std::fill(band.First.begin(), band.First.end(), 0);
            band.Whole = false;
        };
        auto setHigh = [&](const Cut& cut, double hi) {
            band.Hi = hi;
            band.AtMost = cut.Count;
            if (band.Whole)
                std::fill(band.End.begin(), band.End.end(), static_cast<std::uint32_t>(nq));
            band.First.swap(*cut.Column);
            band.Whole = false;
        };
        if (rank <= cuts[0].Count) {
            setHigh(cuts[0], std::nextafter(low, -Infinity));
        } else if (rank > cuts[1].Count) {
            setLow(cuts[1], cuts[1].Bound);
        } else if (!stalled) {
            setHigh(cuts[1], high);
            setLow(cuts[0], low);
        } else if (rank <= cuts[2].Count) {
            found = PlusZero(low);
            break;
        } else if (rank > cuts[3].Count) {
            found = PlusZero(high);
            break;
        } else {
            setHigh(cuts[3], std::nextafter(high, -Infinity));
            setLow(cuts[2], cuts[2].Bound);
        }
        stalled = band.Below == below && band.AtMost == atMost;
    }
    space.Lists.push_back(std::move(band.First));
    space.Lists.push_back(std::move(band.End));
    for (auto& list : columns) space.Lists.push_back(std::move(list));
    return found;
}

}  // namespace

std::int64_t CountDifferencesBelow(std::span<const double> x, std::span<const double> y,
                                   bool negate, double bound) {
    Cut cut[] = {{bound}};
    CountCuts(Oriented(x, y, negate), cut);
    return cut[0].Count;
}

std::int64_t CountDifferencesAtMost(std::span<const double> x, std::span<const double> y,
                                    bool negate, double bound) {
    return CountDifferencesBelow(x, y, negate, std::nextafter(bound, Infinity));
}

double DifferenceAtRank(std::span<const double> x, std::span<const double> y, bool negate,
                        std::int64_t rank) {
    const Matrix m = Oriented(x, y, negate);
    CheckRank(m, rank);
    SelectionSpace space;
    return Select(m, rank, space);
}

SortedSample SortedSample::From(std::span<const double> values) {
    SortedSample s;
    s.Values.assign(values.begin(), values.end());
    SortAscending(s.Values);
    CompensatedSum sum;
    for (const double v : s.Values) sum.Add(v);
    const TwoDoubles total = sum.Value();
    s.SumHigh = total.High;
    s.SumLow = total.Low;
    if (s.Values.empty()) return s;
    // Second pass: each deviation from the two-double mean taken exactly in its high part, its
    // square exactly, and the small remainders summed plainly (they are far below the sum).
    const TwoDoubles mean = DividedBy(total, static_cast<double>(s.Values.size()));
    CompensatedSum squares;
    double remainders = 0;
    for (const double v : s.Values) {
        const TwoDoubles d = TwoSum(v, -mean.High);
        const double low = d.Low - mean.Low;
        const TwoDoubles square = TwoProduct(d.High, d.High);
        squares.Add(square.High);
        remainders += square.Low + 2 * d.High * low + low * low;
    }
    const TwoDoubles ss = Plus(squares.Value(), {remainders, 0});
    s.SquaresHigh = ss.High;
    s.SquaresLow = ss.Low;
    return s;
}

ExactPairResults ExactPairStatistics(const SortedSample& x, const SortedSample& y, bool negate,
                                     double meanDifference, std::int64_t rankLower,
                                     std::int64_t rankUpper, SelectionSpace& space) {
    const SortedSample& minuend = negate ? y : x;
    const SortedSample& subtrahend = negate ? x : y;
    const Matrix m{minuend.Values, subtrahend.Values};
    const std::int64_t c = m.Count();
    ExactPairResults r;
    // The loop's classes: not above 0 is low; above 0 and at or above 2D is high. Both "not
    // above 0" and "below 2D" are lower sets of the differences, so their union is the larger.
    const double twice = 2 * meanDifference;
    Cut counts[] = {{std::nextafter(0.0, Infinity)}, {twice}};
    CountCuts(m, counts);
    r.Low = counts[0].Count;
    r.High = c - std::max(r.Low, counts[1].Count);
    r.Significant = c - r.Low - r.High;

    const double np = static_cast<double>(minuend.Values.size());
    const double nq = static_cast<double>(subtrahend.Values.size());
    const TwoDoubles meanP = DividedBy({minuend.SumHigh, minuend.SumLow}, np);
    const TwoDoubles meanQ = DividedBy({subtrahend.SumHigh, subtrahend.SumLow}, nq);
    r.Mean = Plus(meanP, {-meanQ.High, -meanQ.Low}).High;
    const TwoDoubles spread = Plus(Times({minuend.SquaresHigh, minuend.SquaresLow}, nq),
                                   Times({subtrahend.SquaresHigh, subtrahend.SquaresLow}, np));
    const TwoDoubles variance = DividedBy(spread, static_cast<double>(c - 1));
    r.Variance = variance.High;
    r.SD = SquareRoot(variance);
    CheckRank(m, rankLower);
    CheckRank(m, rankUpper);
    r.PercentileLower = Select(m, rankLower, space);
    r.PercentileUpper = Select(m, rankUpper, space);
    return r;
}

}  // namespace vortel
