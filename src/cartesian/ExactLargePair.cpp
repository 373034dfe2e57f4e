#include "cartesian/ExactLargePair.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "shell/base/DoubleText.h"
#include "shell/base/RunStopped.h"
#include "sorting/DifferenceCount.h"

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

// a * b = High + Low exactly: the fused multiply-add rounds once, so it leaves the product's
// lost part.
TwoDoubles TwoProduct(double a, double b) {
    const double p = a * b;
    return {p, std::fma(a, b, -p)};
}

TwoDoubles Plus(TwoDoubles x, TwoDoubles y) {
    TwoDoubles s = TwoSum(x.High, y.High);
    const TwoDoubles t = TwoSum(x.Low, y.Low);
    s = Normalised(s.High, s.Low + t.High);
    return Normalised(s.High, s.Low + t.Low);
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
    const auto bits = BitsOf(v);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

double FromOrderKey(std::uint64_t key) {
    return DoubleOfBits(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// Ascending order by passes of eleven bits over the keys, least significant first, a pass
// skipped where every key has the same digit (the sign and exponent of values of one size):
// linear, where a comparison sort of a million values costs several times as much.
void SortAscending(std::vector<double>& values, const StopToken* stop) {
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
        StopIfRequested(stop);
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
    const Band* Within = nullptr;  // none for the whole matrix
};

// The work lists only grow: a search of a thinned matrix between two of the whole one leaves
// them as long as before, and growing them again would clear every value anew.
template <typename T>
std::span<T> AtLeast(std::vector<T>& list, std::size_t size) {
    if (list.size() < size) list.resize(size);
    return {list.data(), size};
}

// The columns of a band's rows that hold a cut of it.
struct BandRows {
    const std::uint32_t* FirstColumns;
    const std::uint32_t* EndColumns;
    std::uint32_t First(std::size_t a) const { return FirstColumns[a]; }
    std::uint32_t End(std::size_t a) const { return EndColumns[a]; }
};

// Each cut inside its band, or the whole matrix where it has none.
void Walk(const Matrix& m, std::span<Cut> cuts) {
    for (Cut& cut : cuts) {
        std::uint32_t* column = nullptr;
        if (cut.Column) column = AtLeast(*cut.Column, m.P.size()).data();
        if (!cut.Within || cut.Within->Whole) {
            const WholeRows rows{static_cast<std::uint32_t>(m.Q.size())};
            cut.Count = WalkDifferencesBelow<8>(m.P, m.Q, cut.Bound, rows, column);
        } else {
            const BandRows rows{cut.Within->First.data(), cut.Within->End.data()};
            cut.Count = WalkDifferencesBelow<8>(m.P, m.Q, cut.Bound, rows, column);
        }
    }
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

// Finite values only: a NaN compares neither way, so sorting one is undefined, and the
// difference of an infinity with itself is one; the walks' counts would mean nothing.
void CheckNumbers(std::span<const double> v) {
    CheckSampleSize(v.size());
    const auto bad = std::find_if(v.begin(), v.end(), [](double x) { return !std::isfinite(x); });
    if (bad != v.end())
        throw RunStopped("Value " + std::to_string(bad - v.begin() + 1) + " of a sample is " +
                         std::to_string(*bad) + "; the exact path takes finite numbers only.");
}

// What a walk needs of a sample it was handed.
void CheckAscending(std::span<const double> v) {
    CheckNumbers(v);
    const auto after = std::is_sorted_until(v.begin(), v.end());
    if (after != v.end())
        throw RunStopped("Value " + std::to_string(after - v.begin() + 1) +
                         " of a sample is below the one before; the exact path takes samples "
                         "sorted ascending.");
}

void CheckRank(const Matrix& m, std::int64_t rank) {
    if (rank < 1 || rank > m.Count())
        throw RunStopped("Rank " + std::to_string(rank) + " lies outside the " +
                         std::to_string(m.Count()) + " differences of the pair.");
}

double PlusZero(double x) { return x == 0 ? 0.0 : x; }

// The band's differences, row by row.
std::span<double> Gather(const Matrix& m, const Band& band, std::vector<double>& list) {
    const auto nq = static_cast<std::uint32_t>(m.Q.size());
    const std::span<double> values = AtLeast(list, static_cast<std::size_t>(band.Size()));
    double* out = values.data();
    const double* q = m.Q.data();
    for (std::size_t a = 0; a < m.P.size(); ++a) {
        const double pa = m.P[a];
        const std::uint32_t end = band.EndAt(a, nq);
        for (std::uint32_t b = band.FirstAt(a); b < end; ++b) *out++ = pa - q[b];
    }
    return values;
}

// Differences drawn from the band, one from each of as many equal runs of its positions (row
// by row): every difference is equally likely, and the draws come in row order unsorted. The
// positions are found first and the values read after, so the reads, scattered over the
// subtrahend, do not wait on one another.
void Draw(const Matrix& m, const Band& band, std::span<double> values,
          std::vector<std::uint64_t>& list, Uniform& uniform) {
    const auto nq = static_cast<std::uint32_t>(m.Q.size());
    const double size = static_cast<double>(band.Size());
    const double count = static_cast<double>(values.size());
    const std::span<std::uint64_t> positions = AtLeast(list, values.size());
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

// Two values that a rank's difference is expected to lie between.
struct Bracket {
    double Low = -Infinity, High = Infinity;
};

// The search for the difference at one rank, within a band of the sorted difference matrix
// that holds it. Draws from the band bracket the rank: the two drawn values about its share,
// four standard deviations apart, hold it with a probability of 1 - 6E-5, and the band shrinks
// to them, or past one of them when they miss. Only the speed depends on the draws. A search
// given brackets cuts first at the near one, then, if the rank lay outside it, at the far one.
// A search with a reach also reports the differences that many ranks, and four times as many,
// below and above its own.
class RankSearch {
public:
    RankSearch(const Matrix& m, std::int64_t rank, SelectionSpace& space, std::int64_t reach = 0)
        : m_matrix(m), m_rank(rank), m_reach(reach), m_space(space) {
        m_band.AtMost = m.Count();
        m_band.First = Take();
        m_band.End = Take();
        m_columns[0] = Take();
        m_columns[1] = Take();
    }
    ~RankSearch() {
        m_space.Lists.push_back(std::move(m_band.First));
        m_space.Lists.push_back(std::move(m_band.End));
        for (auto& column : m_columns)
            if (!column.empty()) m_space.Lists.push_back(std::move(column));
    }
    RankSearch(const RankSearch&) = delete;
    RankSearch& operator=(const RankSearch&) = delete;

    bool Done() const { return m_done; }
    double Found() const { return m_found; }
    std::int64_t Rank() const { return m_rank; }
    // The differences `reach` and four times `reach` ranks about the found one, or the bounds
    // of the last band where those lay outside it.
    const Bracket& Near() const { return m_near; }
    const Bracket& Far() const { return m_far; }
    void StartFrom(const Bracket& near, const Bracket& far) {
        m_brackets = {near, far};
        m_tries = 0;
    }

    // Settles the rank when the band is one value or few enough to gather; otherwise appends
    // the cuts the next walk is to find (two, or four when stalled).
    void Propose(std::vector<Cut>& cuts, Uniform& uniform) {
        const std::size_t np = m_matrix.P.size(), nq = m_matrix.Q.size();
        // Few enough to gather: about what the two samples hold, so memory stays O(B).
        const auto gatherLimit =
            std::max<std::int64_t>(1 << 12, 2 * static_cast<std::int64_t>(np + nq));
        if (m_band.Lo == m_band.Hi) return Settle(PlusZero(m_band.Lo));
        if (m_band.Size() <= gatherLimit) return SettleGathered();
        if (m_tries < m_brackets.size() && !m_stalled) {
            // Cuts only inside the band: a walk finds a row's cut among the band's columns.
            const Bracket& b = m_brackets[m_tries++];
            const double low = std::max(b.Low, m_band.Lo), high = std::min(b.High, m_band.Hi);
            if (std::isfinite(low) && std::isfinite(high) && low <= high) {
                m_bracketed = true;
                cuts.push_back({low, &m_columns[0], 0, &m_band});
                cuts.push_back({std::nextafter(high, Infinity), &m_columns[1], 0, &m_band});
                return;
            }
        }
        m_tries = m_brackets.size();
        // About one draw for every four rows: more would cost more than the walk they spare.
        const std::size_t Draws = std::clamp<std::size_t>(std::bit_floor(np / 4), 1 << 10, 1 << 15);
        constexpr double Spread = 4;
        const std::span<double> drawn = AtLeast(m_space.Drawn, Draws);
        Draw(m_matrix, m_band, drawn, m_space.Positions, uniform);
        const double share =
            (static_cast<double>(m_rank - m_band.Below) - 0.5) / static_cast<double>(m_band.Size());
        const double middle = share * static_cast<double>(Draws);
        const double reach =
            Spread * std::sqrt(static_cast<double>(Draws) * share * (1 - share)) + 1;
        auto position = [&](double at) {
            return static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(Draws - 1)));
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
        if (m_stalled && m_columns[2].empty()) m_columns[2] = Take(), m_columns[3] = Take();
        for (std::size_t k = 0; k < (m_stalled ? 4u : 2u); ++k)
            cuts.push_back({bounds[k], &m_columns[k], 0, &m_band});
    }

    // Narrows the band by the walked cuts that Propose asked for; returns how many it used.
    std::size_t Narrow(const Cut* cuts) {
        const std::int64_t below = m_band.Below, atMost = m_band.AtMost;
        const bool stalled = m_stalled;
        const double low = cuts[0].Bound, high = std::nextafter(cuts[1].Bound, -Infinity);
        // A bracket that held the rank needs no wider one.
        if (std::exchange(m_bracketed, false) && m_rank > cuts[0].Count && m_rank <= cuts[1].Count)
            m_tries = m_brackets.size();
        // Differences below v are those at most the double just under v, so the band's bounds
        // stay inclusive.
        if (m_rank <= cuts[0].Count) {
            SetHigh(cuts[0], std::nextafter(low, -Infinity));
        } else if (m_rank > cuts[1].Count) {
            SetLow(cuts[1], cuts[1].Bound);
        } else if (!stalled) {
            SetHigh(cuts[1], high);
            SetLow(cuts[0], low);
        } else if (m_rank <= cuts[2].Count) {
            Settle(PlusZero(low));
        } else if (m_rank > cuts[3].Count) {
            Settle(PlusZero(high));
        } else {
            SetHigh(cuts[3], std::nextafter(high, -Infinity));
            SetLow(cuts[2], cuts[2].Bound);
        }
        m_stalled = !m_done && m_band.Below == below && m_band.AtMost == atMost;
        return stalled ? 4 : 2;
    }

private:
    std::vector<std::uint32_t> Take() {
        std::vector<std::uint32_t> list;
        if (!m_space.Lists.empty()) list.swap(m_space.Lists.back()), m_space.Lists.pop_back();
        AtLeast(list, m_matrix.P.size());
        return list;
    }
    void Settle(double value) {
        m_found = value;
        m_near = m_far = {m_band.Lo, m_band.Hi};
        m_done = true;
    }
    // The band gathered; the wanted difference picked out, and those the reach asks for.
    void SettleGathered() {
        const std::span<double> values = Gather(m_matrix, m_band, m_space.Gathered);
        const auto begin = values.begin();
        const auto at = begin + (m_rank - m_band.Below - 1);
        std::nth_element(begin, at, values.end());
        Settle(PlusZero(*at));
        if (m_reach == 0) return;
        // Each pick rearranges only the part that the one before left on its side.
        const std::int64_t size = m_band.Size(), k = m_rank - m_band.Below - 1;
        auto pick = [&](std::int64_t from, std::int64_t wanted, std::int64_t to, double& out) {
            if (wanted < 0 || wanted >= size) return;
            std::nth_element(begin + from, begin + wanted, begin + to);
            out = begin[wanted];
        };
        pick(0, k - m_reach, k, m_near.Low);
        pick(0, k - 4 * m_reach, std::max<std::int64_t>(k - m_reach, 0), m_far.Low);
        pick(k + 1, k + m_reach, size, m_near.High);
        pick(std::min(k + m_reach + 1, size), k + 4 * m_reach, size, m_far.High);
    }
    // A band that was whole gets the other end of its rows filled in.
    void SetLow(const Cut& cut, double lo) {
        m_band.Lo = lo;
        m_band.Below = cut.Count;
        m_band.End.swap(*cut.Column);
        if (m_band.Whole) std::fill_n(m_band.First.begin(), m_matrix.P.size(), 0);
        m_band.Whole = false;
    }
    void SetHigh(const Cut& cut, double hi) {
        m_band.Hi = hi;
        m_band.AtMost = cut.Count;
        if (m_band.Whole)
            std::fill_n(m_band.End.begin(), m_matrix.P.size(),
                        static_cast<std::uint32_t>(m_matrix.Q.size()));
        m_band.First.swap(*cut.Column);
        m_band.Whole = false;
    }

    const Matrix& m_matrix;
    std::int64_t m_rank, m_reach;
    SelectionSpace& m_space;
    Band m_band;
    std::array<Bracket, 2> m_brackets;
    std::size_t m_tries = 2;   // brackets used: none to use until StartFrom
    bool m_bracketed = false;  // the last walk cut at a bracket
    Bracket m_near, m_far;
    std::array<std::vector<std::uint32_t>, 4> m_columns;
    // Set when the band did not shrink (every difference left in it ties with one of the two
    // drawn values): the next walk also cuts just above the low one and just below the high
    // one, which takes both out.
    bool m_stalled = false;
    bool m_done = false;
    double m_found = 0;
};

// Runs the searches to their ends. Their first walks, over the whole matrix, go together with
// `first`, cuts of the whole matrix wanted for their counts alone.
void Search(const Matrix& m, std::span<RankSearch* const> searches, std::span<Cut> first,
            const StopToken* stop) {
    Uniform uniform;
    std::vector<Cut> cuts(first.begin(), first.end());
    std::vector<RankSearch*> walking;
    for (bool firstWalk = true;; firstWalk = false) {
        StopIfRequested(stop);
        if (!firstWalk) cuts.clear();
        walking.clear();
        for (RankSearch* search : searches) {
            if (search->Done()) continue;
            const std::size_t before = cuts.size();
            search->Propose(cuts, uniform);
            if (cuts.size() > before) walking.push_back(search);
        }
        if (firstWalk) {
            Walk(m, cuts);
            std::copy(cuts.begin(), cuts.begin() + static_cast<std::ptrdiff_t>(first.size()),
                      first.begin());
        } else if (walking.empty()) {
            return;
        } else {
            Walk(m, cuts);
        }
        const Cut* next = cuts.data() + (firstWalk ? first.size() : 0);
        for (RankSearch* search : walking) next += search->Narrow(next);
    }
}

// A sample of at least `ThinFrom` values in runs of about eight, each run by its mean: the
// differences of two such samples lie nearly as those of the whole samples do, share for
// share, and their matrix holds a 64th as many. The means keep a run's weight where the values
// spread out in the tails, where one value picked from each run would pull them in.
constexpr std::size_t ThinStep = 8, ThinFrom = 512;

std::vector<double> Thinned(std::span<const double> v) {
    if (v.size() < ThinFrom) return {v.begin(), v.end()};
    const std::size_t n = v.size(), runs = (n + ThinStep - 1) / ThinStep;
    std::vector<double> means(runs);
    for (std::size_t k = 0; k < runs; ++k) {
        const std::size_t from = k * n / runs, to = (k + 1) * n / runs;
        const auto length = static_cast<double>(to - from);
        double mean = 0;
        for (std::size_t a = from; a < to; ++a) mean += v[a] / length;
        // Rounding can put the mean of a run of equal values a unit off, and runs of seven and
        // eight of them off alike or not: held within the run and after the one before, the
        // means stay in order, which every walk over them needs.
        mean = std::clamp(mean, v[from], v[to - 1]);
        means[k] = k > 0 ? std::max(mean, means[k - 1]) : mean;
    }
    return means;
}

// The searches run to their ends, each first cutting about its rank's share of the thinned
// matrix (found the same way, down to a matrix small enough to draw from): there the two cuts
// hold about a quarter of one sample's length of differences on either side, so that most
// searches walk the whole matrix once and gather. Only the speed depends on those cuts.
void Select(const Matrix& m, std::span<RankSearch* const> searches, std::span<Cut> first,
            SelectionSpace& space) {
    if (m.P.size() >= ThinFrom || m.Q.size() >= ThinFrom) {
        const std::vector<double> p = Thinned(m.P), q = Thinned(m.Q);
        const Matrix thin{p, q};
        const double share = static_cast<double>(thin.Count()) / static_cast<double>(m.Count());
        const double reach = 0.125 * static_cast<double>(m.P.size() + m.Q.size()) * share;
        std::vector<std::unique_ptr<RankSearch>> coarse;
        std::vector<RankSearch*> coarsePointers;
        for (const RankSearch* search : searches) {
            const auto rank = std::clamp<std::int64_t>(
                std::llround((static_cast<double>(search->Rank()) - 0.5) * share + 0.5), 1,
                thin.Count());
            coarse.push_back(std::make_unique<RankSearch>(
                thin, rank, space, std::max<std::int64_t>(1, std::llround(reach))));
            coarsePointers.push_back(coarse.back().get());
        }
        Select(thin, coarsePointers, {}, space);
        for (std::size_t k = 0; k < searches.size(); ++k)
            searches[k]->StartFrom(coarse[k]->Near(), coarse[k]->Far());
    }
    Search(m, searches, first, space.Stop);
}

}  // namespace

double DifferenceAtRank(std::span<const double> x, std::span<const double> y, bool negate,
                        std::int64_t rank) {
    CheckAscending(x);
    CheckAscending(y);
    const Matrix m = Oriented(x, y, negate);
    CheckRank(m, rank);
    SelectionSpace space;
    RankSearch search(m, rank, space);
    RankSearch* const searches[] = {&search};
    Select(m, searches, {}, space);
    return search.Found();
}

SortedSample SortedSample::From(std::span<const double> values, const StopToken* stop) {
    CheckNumbers(values);
    SortedSample s;
    s.Values.assign(values.begin(), values.end());
    SortAscending(s.Values, stop);
    StopIfRequested(stop);
    CompensatedSum sum;
    for (const double v : s.Values) sum.Add(v);
    const TwoDoubles total = sum.Value();
    s.SumHigh = total.High;
    s.SumLow = total.Low;
    if (s.Values.empty()) return s;
    // Second pass: each deviation from the two-double mean taken exactly in its high part, its
    // square exactly, and the small remainders summed plainly (they are far below the sum).
    StopIfRequested(stop);
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
    CheckRank(m, rankLower);
    CheckRank(m, rankUpper);
    RankSearch lower(m, rankLower, space), upper(m, rankUpper, space);
    RankSearch* const searches[] = {&lower, &upper};
    // The counts' two cuts ride along with the first walk of both searches.
    Cut counts[] = {{std::nextafter(0.0, Infinity)}, {twice}};
    Select(m, searches, counts, space);
    r.Low = counts[0].Count;
    r.High = c - std::max(r.Low, counts[1].Count);
    r.Significant = c - r.Low - r.High;
    r.PercentileLower = lower.Found();
    r.PercentileUpper = upper.Found();

    const double np = static_cast<double>(minuend.Values.size());
    const double nq = static_cast<double>(subtrahend.Values.size());
    const TwoDoubles meanP = DividedBy({minuend.SumHigh, minuend.SumLow}, np);
    const TwoDoubles meanQ = DividedBy({subtrahend.SumHigh, subtrahend.SumLow}, nq);
    r.Mean = Plus(meanP, {-meanQ.High, -meanQ.Low}).High;
    // (nq SS_p + np SS_q) / (C - 1) as (SS_p / np + SS_q / nq) (1 + 1 / (C - 1)), which keeps
    // every step within range for the largest values a test takes.
    const TwoDoubles perValue =
        Plus(DividedBy({minuend.SquaresHigh, minuend.SquaresLow}, np),
             DividedBy({subtrahend.SquaresHigh, subtrahend.SquaresLow}, nq));
    const TwoDoubles variance = Plus(perValue, DividedBy(perValue, static_cast<double>(c - 1)));
    r.Variance = variance.High;
    r.SD = SquareRoot(variance);
    return r;
}

}  // namespace vortel
