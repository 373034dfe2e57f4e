#include "sorting/DifferenceSort.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "sorting/QuickSort.h"

namespace vortel {

namespace {

// Wide enough that sums of all differences below a bound, taken from sorted samples, are far
// closer to the true sum than the rounding of a plain running sum can be.
using Wide = long double;
static_assert(std::numeric_limits<Wide>::digits >= 64, "the error bounds assume 64-bit sums");

constexpr double Infinity = std::numeric_limits<double>::infinity();

// The differences d = P[i] - Q[j] as a whole, answered from the sorted samples. A difference
// computed in floating point never falls as P[i] rises or as Q[j] falls, so for any bound t the
// Q values giving d < t form a tail of the sorted Q, and that tail only shrinks as P[i] rises:
// one walk over both samples counts and sums the differences below t.
class SortedDifferences {
public:
    SortedDifferences(std::span<const double> p, std::span<const double> q)
        : m_p(p.begin(), p.end()), m_q(q.begin(), q.end()) {
        std::sort(m_p.begin(), m_p.end());
        std::sort(m_q.begin(), m_q.end());
        // Sums are taken about a centre so that large values with small differences do not
        // lose the differences to cancellation.
        m_centre = m_p[m_p.size() / 2];
        m_qTail.assign(m_q.size() + 1, 0);
        for (std::size_t j = m_q.size(); j-- > 0;)
            m_qTail[j] = m_qTail[j + 1] + (static_cast<Wide>(m_q[j]) - m_centre);
        for (double v : m_p)
            m_spread = std::max(m_spread, std::fabs(static_cast<Wide>(v) - m_centre));
        for (double v : m_q)
            m_spread = std::max(m_spread, std::fabs(static_cast<Wide>(v) - m_centre));
    }

    double Smallest() const { return m_p.front() - m_q.back(); }
    double Largest() const { return m_p.back() - m_q.front(); }
    std::size_t Terms() const { return m_p.size() + m_q.size(); }
    std::size_t Count() const { return m_p.size() * m_q.size(); }
    Wide Spread() const { return m_spread; }

    struct Below {
        std::int64_t Count = 0;
        Wide Sum = 0;       // the sum of the differences below the bound, all but exactly
        bool Near = false;  // a difference within [lo, hi) lies within `window` of the bound
        double NearValue = 0;
    };

    // Differences below t; with window >= 0 also whether one in [lo, hi) lies that close to t.
    Below CountBelow(double t, double window = -1, double lo = -Infinity,
                     double hi = Infinity) const {
        Below r;
        const std::size_t qn = m_q.size();
        std::size_t j = 0;
        for (double pv : m_p) {
            while (j < qn && !(pv - m_q[j] < t)) ++j;
            const auto count = static_cast<std::int64_t>(qn - j);
            r.Count += count;
            r.Sum += static_cast<Wide>(count) * (static_cast<Wide>(pv) - m_centre) - m_qTail[j];
            if (window >= 0 && !r.Near) {
                if (j < qn) CheckNear(r, pv - m_q[j], t, window, lo, hi);
                if (j > 0) CheckNear(r, pv - m_q[j - 1], t, window, lo, hi);
            }
        }
        return r;
    }

    std::int64_t CountAtMost(double t) const {
        std::int64_t count = 0;
        const std::size_t qn = m_q.size();
        std::size_t j = 0;
        for (double pv : m_p) {
            while (j < qn && !(pv - m_q[j] <= t)) ++j;
            count += static_cast<std::int64_t>(qn - j);
        }
        return count;
    }

    // The value at `rank` (1-based) among the differences in ascending order.
    double Select(std::int64_t rank) const {
        std::uint64_t low = Key(Smallest()), high = Key(Largest());
        while (low < high) {
            const std::uint64_t middle = low + (high - low) / 2;
            if (CountAtMost(Value(middle)) >= rank)
                high = middle;
            else
                low = middle + 1;
        }
        // Equal differences of opposite samples are +0; -0 only ranks first among zeros.
        const double found = Value(low);
        return found == 0 ? 0.0 : found;
    }

private:
    static void CheckNear(Below& r, double d, double t, double window, double lo, double hi) {
        if (d >= lo && d < hi && std::fabs(d - t) <= window) {
            r.Near = true;
            r.NearValue = d;
        }
    }
    // Doubles in the order of their values as unsigned integers, -0 just below +0.
    static std::uint64_t Key(double x) {
        const auto bits = std::bit_cast<std::uint64_t>(x);
        return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
    }
    static double Value(std::uint64_t key) {
        return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
    }

    std::vector<double> m_p, m_q;
    std::vector<Wide> m_qTail;
    Wide m_centre = 0;
    Wide m_spread = 0;
};

// One group of a level: the differences in [Lo, Hi). Its values stand in the order of k,
// turned round when `Reversed`; its sum was added in its parent's order.
struct Group {
    double Lo, Hi;
    std::int64_t CountLo, CountHi;  // differences below Lo and below Hi
    Wide SumLo, SumHi;
    bool Reversed, SumReversed;
};

struct Bound {
    double At;
    std::int64_t Count;
    Wide Sum;
};

class Splitter {
public:
    Splitter(const DifferenceList& list, const SortedDifferences& sorted)
        : m_list(list), m_sorted(sorted) {}

    // The mean the group's children split at, or nothing when every value of the group is
    // the same, which leaves one child empty whatever the mean.
    struct Split {
        bool AllEqual = false;
        bool Exact = false;  // `At` is the mean itself, not just a bound that splits alike
        Bound At{};
    };
    Split Approach(const Group& g) const {
        const std::int64_t m = g.CountHi - g.CountLo;
        const Wide sum = g.SumHi - g.SumLo;
        const auto mean = static_cast<double>(sum / static_cast<Wide>(m));
        const double extent = std::max(std::fabs(std::max(g.Lo, m_sorted.Smallest())),
                                       std::fabs(std::min(g.Hi, m_sorted.Largest())));
        // A running sum of m terms is off by at most (m - 1) units of the last place of the
        // largest partial sum, the division adds half a unit; the wide sums' own error grows
        // with every difference below the bounds. Twice that keeps every bound safe.
        const Wide spread = m_sorted.Spread();
        const auto window = static_cast<double>(
            std::ldexp(static_cast<Wide>(extent) * static_cast<Wide>(m + 8), -52) +
            std::ldexp(static_cast<Wide>(m_sorted.Terms() + 8) * spread *
                           static_cast<Wide>(m_sorted.Count()),
                       -61) /
                static_cast<Wide>(m) +
            std::ldexp(static_cast<Wide>(std::fabs(mean)), -50) + DBL_MIN);
        const auto below = m_sorted.CountBelow(mean, window, g.Lo, g.Hi);
        Split split;
        split.At = {mean, below.Count, below.Sum};
        if (!below.Near) return split;
        const double v = below.NearValue;
        if (m_sorted.CountAtMost(v) - m_sorted.CountBelow(v).Count == m) {
            split.AllEqual = true;
            return split;
        }
        split.Exact = true;
        return split;
    }

    // The running sums of the groups' values in their parents' order, as the split adds them.
    std::vector<double> ExactSums(const std::vector<Group>& groups) const {
        std::vector<double> sums(groups.size(), 0.0);
        for (bool reversed : {false, true}) {
            std::vector<std::size_t> pick;
            for (std::size_t e = 0; e < groups.size(); ++e)
                if (groups[e].SumReversed == reversed) pick.push_back(e);
            if (pick.empty()) continue;
            std::sort(pick.begin(), pick.end(),
                      [&](std::size_t a, std::size_t b) { return groups[a].Lo < groups[b].Lo; });
            const std::size_t xn = m_list.X.size(), yn = m_list.Y.size();
            for (std::size_t step = 0; step < xn; ++step) {
                const std::size_t a = reversed ? xn - 1 - step : step;
                const double x = m_list.X[a];
                for (std::size_t inner = 0; inner < yn; ++inner) {
                    const std::size_t b = reversed ? yn - 1 - inner : inner;
                    const double d = m_list.Negate ? m_list.Y[b] - x : x - m_list.Y[b];
                    // The last group starting at or below d is the only one that can hold it.
                    auto it =
                        std::upper_bound(pick.begin(), pick.end(), d,
                                         [&](double v, std::size_t e) { return v < groups[e].Lo; });
                    if (it == pick.begin()) continue;
                    const Group& g = groups[*(it - 1)];
                    if (d < g.Hi) sums[*(it - 1)] += d;
                }
            }
        }
        return sums;
    }

private:
    const DifferenceList& m_list;
    const SortedDifferences& m_sorted;
};

bool AllFinite(std::span<const double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Forms every difference and sorts them: the way for lists whose sums overflow or hold values
// that are not numbers, where no bound on rounding holds.
void SortFormedDifferences(AnalysisState& state, const DifferenceList& list,
                           std::span<const std::int64_t> positions, std::span<double> valuesAt) {
    const std::int64_t n = static_cast<std::int64_t>(list.X.size() * list.Y.size());
    double* input = state.SortInput.Through(n);
    std::int64_t k = 0;
    for (double x : list.X)
        for (double y : list.Y) input[++k] = list.Negate ? y - x : x - y;
    state.SortCount = static_cast<std::int32_t>(n);
    QuickSort(state);
    for (std::size_t p = 0; p < positions.size(); ++p) valuesAt[p] = state.SortOutput(positions[p]);
}

}  // namespace

void QuickSortOfDifferences(AnalysisState& state, const DifferenceList& list,
                            std::span<const std::int64_t> positions, std::span<double> valuesAt) {
    const auto n64 = static_cast<std::int64_t>(list.X.size() * list.Y.size());
    if (n64 < 1 || n64 > ListCapacity)
        throw RunStopped("The sort was given " + std::to_string(n64) +
                         " differences; it takes 1 to " + std::to_string(ListCapacity) + ".");
    if (positions.size() > valuesAt.size())
        throw RunStopped("The sort was asked for more positions than it has room to answer.");
    for (std::int64_t p : positions)
        if (p < 1 || p > n64)
            throw RunStopped("Position " + std::to_string(p) + " lies outside the " +
                             std::to_string(n64) + " sorted differences.");
    const std::span<const double> p = list.Negate ? list.Y : list.X;
    const std::span<const double> q = list.Negate ? list.X : list.Y;
    const SortedDifferences sorted(p, q);
    if (!AllFinite(list.X) || !AllFinite(list.Y) || !std::isfinite(list.Total) ||
        !std::isfinite(sorted.Smallest()) || !std::isfinite(sorted.Largest())) {
        SortFormedDifferences(state, list, positions, valuesAt);
        return;
    }

    if (state.FlowRecord && state.SortUtilityUsed != "Yes") state.FlowLine("Sub QuickSort");
    const auto n = static_cast<std::int32_t>(n64);
    state.SortCount = n;
    state.SortTotal = list.Total;
    state.SortMean = list.Total / n;
    if (state.SortGroupLimitSet != "Yes") {
        state.SortGroupLimit = 1024;
        state.SortGroupLimitSet = "Yes";
    }

    auto difference = [&](std::int64_t k) {
        const std::size_t a = static_cast<std::size_t>(k - 1) / list.Y.size();
        const std::size_t b = static_cast<std::size_t>(k - 1) % list.Y.size();
        return list.Negate ? list.Y[b] - list.X[a] : list.X[a] - list.Y[b];
    };

    // Level 1 splits at the overall mean, which the caller's sum gives exactly.
    const auto root = sorted.CountBelow(state.SortMean);
    if (root.Count == 0 || root.Count == n64) {
        // One group: the values stay where the split put them, all from the end when every
        // value went up, all from the start otherwise.
        state.SortGroupLimit = 1;
        for (std::size_t e = 0; e < positions.size(); ++e)
            valuesAt[e] = difference(root.Count == 0 ? n64 + 1 - positions[e] : positions[e]);
        return;
    }
    const auto all = sorted.CountBelow(Infinity);
    Splitter splitter(list, sorted);
    std::vector<Group> groups{
        {-Infinity, state.SortMean, 0, root.Count, 0, root.Sum, false, false},
        {state.SortMean, Infinity, root.Count, all.Count, root.Sum, all.Sum, true, false}};

    for (int level = 2; level <= 10; ++level) {
        if (state.SortGroupLimit <= static_cast<std::int32_t>(groups.size())) break;
        std::vector<Splitter::Split> splits;
        std::vector<Group> exact;
        std::vector<std::size_t> exactAt;
        bool emptyChild = false;
        for (std::size_t g = 0; g < groups.size() && !emptyChild; ++g) {
            splits.push_back(splitter.Approach(groups[g]));
            if (splits.back().AllEqual) emptyChild = true;
            if (splits.back().Exact) {
                exact.push_back(groups[g]);
                exactAt.push_back(g);
            }
        }
        if (!emptyChild && !exact.empty()) {
            const auto sums = splitter.ExactSums(exact);
            for (std::size_t e = 0; e < exact.size(); ++e) {
                const Group& g = exact[e];
                const double mean = sums[e] / static_cast<double>(g.CountHi - g.CountLo);
                const auto below = sorted.CountBelow(mean);
                splits[exactAt[e]].At = {mean, below.Count, below.Sum};
            }
        }
        std::vector<Group> children;
        for (std::size_t g = 0; g < groups.size() && !emptyChild; ++g) {
            const Group& parent = groups[g];
            const Bound& at = splits[g].At;
            if (at.Count == parent.CountLo || at.Count == parent.CountHi) emptyChild = true;
            children.push_back({parent.Lo, at.At, parent.CountLo, at.Count, parent.SumLo, at.Sum,
                                parent.Reversed, parent.Reversed});
            children.push_back({at.At, parent.Hi, at.Count, parent.CountHi, at.Sum, parent.SumHi,
                                !parent.Reversed, parent.Reversed});
        }
        if (emptyChild) {
            state.SortGroupLimit = static_cast<std::int16_t>(groups.size());
            break;
        }
        groups = std::move(children);
    }
    for (std::size_t e = 0; e < positions.size(); ++e) valuesAt[e] = sorted.Select(positions[e]);
}

}  // namespace vortel
