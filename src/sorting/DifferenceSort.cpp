#include "sorting/DifferenceSort.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "shell/base/DoubleText.h"
#include "shell/base/RunStopped.h"
#include "shell/state/PairScratch.h"
#include "shell/state/SessionFiles.h"
#include "sorting/QuickSort.h"

namespace vortel {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// A running sum that carries the exact rounding error of every addition along (Knuth's two-sum,
// no branch), so the sum of thousands of terms is as good as a correctly rounded one.
struct CompensatedSum {
    double Sum = 0, Error = 0;
    void Add(double x) {
        const double t = Sum + x;
        const double xPart = t - Sum;
        Error += (Sum - (t - xPart)) + (x - xPart);
        Sum = t;
    }
    double Value() const { return Sum + Error; }
};

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
        const double centre = m_p[m_p.size() / 2];
        for (double v : m_p) {
            m_pCentred.push_back(v - centre);
            m_spread = std::max(m_spread, std::fabs(v - centre));
        }
        m_qTail.assign(m_q.size() + 1, 0);
        CompensatedSum tail;
        for (std::size_t j = m_q.size(); j-- > 0;) {
            tail.Add(m_q[j] - centre);
            m_qTail[j] = tail.Value();
            m_spread = std::max(m_spread, std::fabs(m_q[j] - centre));
        }
        // Each centred value is off by half a unit of `spread` at most; count that in.
        m_spread *= 1 + 0x1p-50;
        // Bounds either side of Q spare the walks their end tests.
        m_qBounded.reserve(m_q.size() + 5);
        m_qBounded.push_back(-Infinity);
        m_qBounded.insert(m_qBounded.end(), m_q.begin(), m_q.end());
        m_qBounded.insert(m_qBounded.end(), 4, Infinity);
    }

    double Smallest() const { return m_p.front() - m_q.back(); }
    double Largest() const { return m_p.back() - m_q.front(); }
    std::size_t Count() const { return m_p.size() * m_q.size(); }

    struct Below {
        std::int64_t Count = 0;
        double Sum = 0;     // the sum of the differences below the bound, within SumError()
        bool Near = false;  // a difference lies within the window about the bound
        double NearValue = 0;
    };

    // A bound t and, for the nearness test, the window about t.
    struct Probe {
        double At;
        double Window = 0;
    };

    // Differences below t (finite or +infinity).
    Below CountBelow(double t) const {
        return Walk<false, true, 1>(std::array<Probe, 1>{Probe{t}})[0];
    }
    // The same for four bounds at once, with whether any difference lies within the bound's
    // window of it; without the sums, which only a further split needs.
    std::array<Below, 4> CountBelowNear(const std::array<Probe, 4>& probes, bool sum) const {
        return sum ? Walk<true, true, 4>(probes) : Walk<true, false, 4>(probes);
    }
    // How far Below::Sum may be from the exact sum of the differences below a bound. Sums are
    // taken about a centre so that large values with small differences keep their digits; each
    // term then carries a few roundings of at most `spread` times its count, and the
    // compensated sum adds almost nothing.
    double SumError() const { return 0x1p-49 * static_cast<double>(Count()) * m_spread; }

    std::int64_t CountAtMost(double t) const {
        std::int64_t count = 0;
        const std::size_t qn = m_q.size();
        const double* q = m_qBounded.data() + 1;
        std::size_t j = 0;
        for (double pv : m_p) {
            while (j < qn && !(pv - q[j] <= t)) ++j;
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
        return PlusZero(Value(low));
    }

    // The value at `rank` among the `count` differences in [lo, hi), gathered when few.
    double SelectWithin(double lo, double hi, std::int64_t below, std::int64_t count,
                        std::int64_t rank, std::vector<double>& scratch) const {
        if (count > (std::int64_t{1} << 16)) return Select(rank);
        scratch.clear();
        const std::size_t qn = m_q.size();
        std::size_t first = 0, end = 0;  // Q[first, end) gives differences in [lo, hi)
        for (double pv : m_p) {
            while (first < qn && !(pv - m_q[first] < hi)) ++first;
            while (end < qn && pv - m_q[end] >= lo) ++end;
            for (std::size_t j = first; j < end; ++j) scratch.push_back(pv - m_q[j]);
        }
        // Fewer than 2^16 differences are gathered here, so the offset fits any iterator.
        const auto at = scratch.begin() + static_cast<std::ptrdiff_t>(rank - below - 1);
        std::nth_element(scratch.begin(), at, scratch.end());
        return PlusZero(*at);
    }

private:
    // Walks for K bounds side by side: each walk waits on its own loads, so several in one
    // loop keep the processor busy.
    template <bool Window, bool Summed, std::size_t K>
    std::array<Below, K> Walk(const std::array<Probe, K>& probes) const {
        std::array<Below, K> r{};
        const std::size_t qn = m_q.size();
        const double* q = m_qBounded.data() + 1;  // q[-1] = -infinity, q[qn..qn+3] = +infinity
        std::array<double, K> nearestBelow, nearestAbove;
        nearestBelow.fill(-Infinity);
        nearestAbove.fill(Infinity);
        std::array<CompensatedSum, K> sums{};
        std::array<std::size_t, K> at{};
        for (std::size_t i = 0; i < m_p.size(); ++i) {
            const double pv = m_p[i];
            for (std::size_t k = 0; k < K; ++k) {
                const double t = probes[k].At;
                // Q moves on by about |Q| / |P| per value of P. The next four are tested at
                // once (the tests fall true, then false), so each value of P waits for one
                // load, not one per step; the bounds from q[qn] on stop every step.
                std::size_t j = at[k];
                const double* next = q + j;
                j += static_cast<std::size_t>(pv - next[0] >= t) +
                     static_cast<std::size_t>(pv - next[1] >= t) +
                     static_cast<std::size_t>(pv - next[2] >= t) +
                     static_cast<std::size_t>(pv - next[3] >= t);
                while (pv - q[j] >= t) ++j;
                at[k] = j;
                const auto count = static_cast<std::int64_t>(qn - j);
                r[k].Count += count;
                if constexpr (Summed)
                    sums[k].Add(static_cast<double>(count) * m_pCentred[i] - m_qTail[j]);
                if constexpr (Window) {
                    // The largest difference below t and the smallest at or above it.
                    nearestBelow[k] = std::max(nearestBelow[k], pv - q[j]);
                    // j may be 0: q[-1] is the bound, reached by a signed index.
                    nearestAbove[k] =
                        std::min(nearestAbove[k], pv - q[static_cast<std::ptrdiff_t>(j) - 1]);
                }
            }
        }
        for (std::size_t k = 0; k < K; ++k) {
            r[k].Sum = sums[k].Value();
            if constexpr (Window) {
                const double t = probes[k].At, window = probes[k].Window;
                if (t - nearestBelow[k] <= window) {
                    r[k].Near = true;
                    r[k].NearValue = nearestBelow[k];
                } else if (nearestAbove[k] - t <= window) {
                    r[k].Near = true;
                    r[k].NearValue = nearestAbove[k];
                }
            }
        }
        return r;
    }
    // Equal differences of opposite samples are +0; a -0 can only rank among them.
    static double PlusZero(double x) { return x == 0 ? 0.0 : x; }
    // Doubles in the order of their values as unsigned integers, -0 just below +0.
    static std::uint64_t Key(double x) {
        const auto bits = BitsOf(x);
        return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
    }
    static double Value(std::uint64_t key) {
        return DoubleOfBits(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
    }

    std::vector<double> m_p, m_q, m_qBounded;
    std::vector<double> m_pCentred, m_qTail;
    double m_spread = 0;
};

// One group of a level: the differences in [Lo, Hi). Its values stand in the order of k,
// turned round when `Reversed`; its sum was added in its parent's order.
struct Group {
    double Lo, Hi;
    std::int64_t CountLo, CountHi;  // differences below Lo and below Hi
    double SumLo, SumHi;
    bool Reversed, SumReversed;
};

struct Bound {
    double At;
    std::int64_t Count;
    double Sum;
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
    std::vector<Split> Approach(const std::vector<Group>& groups, bool sumChildren) const {
        std::vector<SortedDifferences::Probe> probes;
        for (const Group& g : groups) {
            const std::int64_t m = g.CountHi - g.CountLo;
            const double mean = (g.SumHi - g.SumLo) / static_cast<double>(m);
            const double extent = std::max(std::fabs(std::max(g.Lo, m_sorted.Smallest())),
                                           std::fabs(std::min(g.Hi, m_sorted.Largest())));
            // The split's running sum of m terms is off by at most m - 1 units in the last
            // place of a partial sum no larger than m * extent, and the division adds half a
            // unit; the sums from the sorted samples carry their own bound. Twice the first
            // keeps it safe.
            const double window = 0x1p-52 * extent * static_cast<double>(m + 8) +
                                  2 * m_sorted.SumError() / static_cast<double>(m) +
                                  0x1p-50 * std::fabs(mean) + DBL_MIN;
            probes.push_back({mean, window});
        }
        std::vector<Split> splits(groups.size());
        for (std::size_t first = 0; first < groups.size(); first += 4) {
            std::array<SortedDifferences::Probe, 4> four;
            for (std::size_t k = 0; k < 4; ++k)
                four[k] = probes[std::min(first + k, groups.size() - 1)];
            const auto below = m_sorted.CountBelowNear(four, sumChildren);
            for (std::size_t k = 0; k < 4 && first + k < groups.size(); ++k) {
                Split& split = splits[first + k];
                split.At = {four[k].At, below[k].Count, below[k].Sum};
                if (!below[k].Near) continue;
                const Group& g = groups[first + k];
                const double v = below[k].NearValue;
                // A group of one value holds the value next to its mean, and every copy of it.
                if (v >= g.Lo && v < g.Hi &&
                    m_sorted.CountAtMost(v) - m_sorted.CountBelow(v).Count == g.CountHi - g.CountLo)
                    split.AllEqual = true;
                else
                    split.Exact = true;
            }
        }
        return splits;
    }

    // The running sums of the groups' values in their parents' order, as the split adds them.
    std::vector<double> ExactSums(const std::vector<Group>& groups) const {
        std::vector<double> sums;
        for (const Group& g : groups) sums.push_back(MemberSum(g));
        return sums;
    }

private:
    // The group's running sum from its members alone: for each value of X the members come
    // from one run of the sorted Y, put back into the order of Y.
    double MemberSum(const Group& g) const {
        const std::size_t xn = m_list.X.size(), yn = m_list.Y.size();
        if (m_yOrder.empty()) {
            m_yOrder.resize(yn);
            for (std::size_t b = 0; b < yn; ++b) m_yOrder[b] = b;
            std::sort(m_yOrder.begin(), m_yOrder.end(),
                      [&](std::size_t a, std::size_t b) { return m_list.Y[a] < m_list.Y[b]; });
        }
        auto difference = [&](double x, std::size_t b) {
            return m_list.Negate ? m_list.Y[b] - x : x - m_list.Y[b];
        };
        double sum = 0;
        for (std::size_t step = 0; step < xn; ++step) {
            const double x = m_list.X[g.SumReversed ? xn - 1 - step : step];
            // Differences fall as Y rises (rise, when negated), so each bound cuts the sorted Y
            // once.
            auto below = [&](double bound) {
                return [&, bound](std::size_t b) {
                    return m_list.Negate ? difference(x, b) < bound : !(difference(x, b) < bound);
                };
            };
            const auto first = std::partition_point(m_yOrder.begin(), m_yOrder.end(),
                                                    below(m_list.Negate ? g.Lo : g.Hi));
            const auto end =
                std::partition_point(first, m_yOrder.end(), below(m_list.Negate ? g.Hi : g.Lo));
            // A short run is sorted back into the order of Y; a long one is marked and Y read
            // through in order.
            const auto run = static_cast<std::size_t>(end - first);
            if (run * 4 < yn) {
                m_members.assign(first, end);
                std::sort(m_members.begin(), m_members.end());
            } else {
                m_marked.assign(yn, 0);
                for (auto it = first; it != end; ++it) m_marked[*it] = 1;
                m_members.clear();
                for (std::size_t b = 0; b < yn; ++b)
                    if (m_marked[b]) m_members.push_back(b);
            }
            if (g.SumReversed)
                for (auto it = m_members.rbegin(); it != m_members.rend(); ++it)
                    sum += difference(x, *it);
            else
                for (std::size_t b : m_members) sum += difference(x, b);
        }
        return sum;
    }

    const DifferenceList& m_list;
    const SortedDifferences& m_sorted;
    mutable std::vector<std::size_t> m_yOrder, m_members;
    mutable std::vector<char> m_marked;
};

bool AllFinite(std::span<const double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Forms every difference and sorts them: the way for lists whose sums may overflow or hold
// values that are not numbers, where no bound on rounding holds.
void SortFormedDifferences(PairScratch& work, SortHandOver& handOver, SessionFiles& files,
                           const DifferenceList& list, std::span<const std::int64_t> positions,
                           std::span<double> valuesAt) {
    const std::int64_t n = static_cast<std::int64_t>(list.X.size() * list.Y.size());
    double* input = work.SortInput.Through(n);
    std::int64_t k = 0;
    for (double x : list.X)
        for (double y : list.Y) input[++k] = list.Negate ? y - x : x - y;
    work.SortCount = static_cast<std::int32_t>(n);
    QuickSort(work, handOver, files);
    for (std::size_t p = 0; p < positions.size(); ++p) valuesAt[p] = work.SortOutput(positions[p]);
}

// The request must name positions among 1..n of a list the sort can hold.
void CheckRequest(std::int64_t n64, std::span<const std::int64_t> positions,
                  std::span<double> valuesAt) {
    CheckValueCount(
        n64,
        [&] {
            return "The sort was given " + std::to_string(n64) + " differences; it takes 1 to " +
                   std::to_string(ListCapacity) + ".";
        },
        1);
    if (positions.size() > valuesAt.size())
        throw RunStopped("The sort was asked for more positions than it has room to answer.");
    for (std::int64_t p : positions)
        if (p < 1 || p > n64)
            throw RunStopped("Position " + std::to_string(p) + " lies outside the " +
                             std::to_string(n64) + " sorted differences.");
}

// Levels 2 to 10: every group split at its own mean until the run's group limit is reached or a
// split leaves a group empty, which lowers the limit for the rest of the run.
std::vector<Group> SplitToTheLimit(SortHandOver& handOver, const SortedDifferences& sorted,
                                   Splitter& splitter, std::vector<Group> groups) {
    for (int level = 2; level <= 10; ++level) {
        if (handOver.SortGroupLimit <= static_cast<std::int32_t>(groups.size())) break;
        auto splits = splitter.Approach(groups, level < 10);
        std::vector<Group> exact;
        std::vector<std::size_t> exactAt;
        bool emptyChild = false;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (splits[g].AllEqual) emptyChild = true;
            if (splits[g].Exact) {
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
            handOver.SortGroupLimit = static_cast<std::int16_t>(groups.size());
            break;
        }
        groups = std::move(children);
    }
    return groups;
}

// Every group is in order: each position is found among its group's values.
void SelectInGroups(const SortedDifferences& sorted, const std::vector<Group>& groups,
                    std::span<const std::int64_t> positions, std::span<double> valuesAt) {
    std::vector<double> scratch;
    for (std::size_t e = 0; e < positions.size(); ++e) {
        const std::int64_t rank = positions[e];
        const auto g = std::find_if(groups.begin(), groups.end(),
                                    [&](const Group& group) { return rank <= group.CountHi; });
        valuesAt[e] =
            sorted.SelectWithin(g->Lo, g->Hi, g->CountLo, g->CountHi - g->CountLo, rank, scratch);
    }
}

}  // namespace

void QuickSortOfDifferences(PairScratch& work, SortHandOver& handOver, SessionFiles& files,
                            const DifferenceList& list, std::span<const std::int64_t> positions,
                            std::span<double> valuesAt) {
    const auto n64 = static_cast<std::int64_t>(list.X.size() * list.Y.size());
    CheckRequest(n64, positions, valuesAt);
    if (!AllFinite(list.X) || !AllFinite(list.Y) || !std::isfinite(list.Total)) {
        SortFormedDifferences(work, handOver, files, list, positions, valuesAt);
        return;
    }
    const SortedDifferences sorted(list.Negate ? list.Y : list.X, list.Negate ? list.X : list.Y);
    if (!(std::max(std::fabs(sorted.Smallest()), std::fabs(sorted.Largest())) < DBL_MAX / 0x1p24)) {
        SortFormedDifferences(work, handOver, files, list, positions, valuesAt);
        return;
    }

    if (files.FlowRecord && !files.SortUtilityUsed) files.FlowLine("Sub QuickSort");
    const auto n = static_cast<std::int32_t>(n64);
    work.SortCount = n;
    handOver.SortTotal = list.Total;
    handOver.SortMean = list.Total / n;
    if (!handOver.SortGroupLimitSet) {
        handOver.SortGroupLimit = 1024;
        handOver.SortGroupLimitSet = true;
    }

    // Level 1 splits at the overall mean, which the caller's sum gives exactly.
    const auto root = sorted.CountBelow(handOver.SortMean);
    if (root.Count == 0 || root.Count == n64) {
        // One group: the values stay where the split put them, all from the end when every
        // value went up, all from the start otherwise.
        handOver.SortGroupLimit = 1;
        for (std::size_t e = 0; e < positions.size(); ++e) {
            const std::int64_t k = root.Count == 0 ? n64 + 1 - positions[e] : positions[e];
            const std::size_t a = static_cast<std::size_t>(k - 1) / list.Y.size();
            const std::size_t b = static_cast<std::size_t>(k - 1) % list.Y.size();
            valuesAt[e] = list.Negate ? list.Y[b] - list.X[a] : list.X[a] - list.Y[b];
        }
        return;
    }
    const auto all = sorted.CountBelow(Infinity);
    Splitter splitter(list, sorted);
    const std::vector<Group> groups = SplitToTheLimit(
        handOver, sorted, splitter,
        {{-Infinity, handOver.SortMean, 0, root.Count, 0, root.Sum, false, false},
         {handOver.SortMean, Infinity, root.Count, all.Count, root.Sum, all.Sum, true, false}});
    SelectInGroups(sorted, groups, positions, valuesAt);
}

}  // namespace vortel
