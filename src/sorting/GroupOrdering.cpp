#include "sorting/GroupOrdering.h"

#include <algorithm>

namespace vortel {

namespace {

std::size_t At(std::int32_t k) { return static_cast<std::size_t>(k); }

// Counts over 1..size (a Fenwick tree): add at a place, count up to a place, and find the
// place where the running count reaches k.
class CountTree {
public:
    CountTree(std::vector<std::int32_t>& nodes, std::int32_t size, bool full) : m_nodes(nodes) {
        m_nodes.assign(At(size) + 1, 0);
        if (full)
            for (std::int32_t i = 1; i <= size; ++i) {
                m_nodes[At(i)] += 1;
                const std::int32_t up = i + (i & -i);
                if (up <= size) m_nodes[At(up)] += m_nodes[At(i)];
            }
        m_top = 1;
        while (m_top * 2 <= size) m_top *= 2;
    }
    void Add(std::int32_t place, std::int32_t amount) {
        for (; At(place) < m_nodes.size(); place += place & -place) m_nodes[At(place)] += amount;
    }
    std::int32_t CountTo(std::int32_t place) const {
        std::int32_t sum = 0;
        for (; place > 0; place -= place & -place) sum += m_nodes[At(place)];
        return sum;
    }
    std::int32_t Find(std::int32_t k) const {
        std::int32_t place = 0;
        for (std::int32_t step = m_top; step > 0; step /= 2) {
            const std::int32_t next = place + step;
            if (At(next) < m_nodes.size() && m_nodes[At(next)] < k) {
                place = next;
                k -= m_nodes[At(next)];
            }
        }
        return place + 1;
    }

private:
    std::vector<std::int32_t>& m_nodes;
    std::int32_t m_top;
};

}  // namespace

void GroupOrdering::Order(double* values, std::int32_t* serials, std::int32_t count) {
    if (count < 2) return;
    const auto size = At(count);
    m_sorted.resize(size);
    for (std::int32_t i = 0; i < count; ++i) m_sorted[At(i)] = {values[i], i};
    std::sort(m_sorted.begin(), m_sorted.end(),
              [](const Entry& a, const Entry& b) { return a.Value < b.Value; });

    m_rank.resize(size);
    std::int32_t distinct = 1;
    m_rank[At(m_sorted[0].From)] = 0;
    for (std::size_t k = 1; k < size; ++k) {
        if (m_sorted[k].Value != m_sorted[k - 1].Value) ++distinct;
        m_rank[At(m_sorted[k].From)] = distinct - 1;
    }

    m_serials.assign(serials, serials + count);
    if (distinct == count) {
        // Without equal values the order is the same whichever way it is reached.
        for (std::size_t k = 0; k < size; ++k) {
            values[k] = m_sorted[k].Value;
            serials[k] = m_serials[At(m_sorted[k].From)];
        }
        return;
    }
    m_values.assign(values, values + count);
    OrderTies(count, distinct);
    for (std::size_t k = 0; k < size; ++k) {
        values[k] = m_values[At(m_from[k])];
        serials[k] = m_serials[At(m_from[k])];
    }
}

// Seen through one value r, pass i of the exchange sort carries the value at i forward,
// exchanging it for every later value smaller than the one it carries. Below any bound that
// only brings the values below to the front: the values below a bound stand at pass i where
// the i-th of them and those after it stood at the start. So pass i moves an r only when the
// first value up to r from i is an r; that r lands where the i-th value below r stands, past
// every other r standing before that place, or, once none below r is left, the r's take
// their places in order. The r's standing before the i-th value below r thus form a queue
// whose front goes to the back at each pass, and each r joins it at the back once the passes
// reach the values below r that stood before it. Rotations between joins are counted, not
// made, and the joins are placed afterwards from the last to the first.
void GroupOrdering::OrderTies(std::int32_t count, std::int32_t distinct) {
    const auto size = At(count);
    m_first.assign(At(distinct) + 1, 0);
    for (std::size_t k = 0; k < size; ++k) ++m_first[At(m_rank[k]) + 1];
    for (std::size_t r = 1; r <= At(distinct); ++r) m_first[r] += m_first[r - 1];

    // Positions grouped by rank in their order, and how many values of lower rank stand
    // before each.
    m_byRank.resize(size);
    m_below.resize(size);
    m_insertAt.assign(m_first.begin(), m_first.end() - 1);  // next free place per rank
    {
        CountTree seen(m_counts, distinct, false);
        for (std::int32_t p = 0; p < count; ++p) {
            const std::int32_t r = m_rank[At(p)];
            m_byRank[At(m_insertAt[At(r)]++)] = p;
            m_below[At(p)] = seen.CountTo(r);
            seen.Add(r + 1, 1);
        }
    }

    m_from.resize(size);
    for (std::int32_t r = 0; r < distinct; ++r) {
        const std::int32_t lower = m_first[At(r)];  // values below r: all of them lead in the end
        const std::int32_t copies = m_first[At(r) + 1] - lower;
        const std::int32_t* place = m_byRank.data() + lower;
        if (copies == 1) {
            m_from[At(lower)] = place[0];
            continue;
        }
        // Where each copy joins the queue, counted from the queue's front at that moment,
        // and where the front stands after the last pass.
        m_insertAt.resize(At(copies));
        std::int64_t front = 0, queued = 0;
        std::int32_t lastPass = m_below[At(place[0])];
        for (std::int32_t t = 0; t < copies;) {
            const std::int32_t pass = m_below[At(place[t])];
            if (queued > 0) front = (front + pass - lastPass) % queued;
            for (; t < copies && m_below[At(place[t])] == pass; ++t, ++front, ++queued)
                m_insertAt[At(t)] = static_cast<std::int32_t>(front);
            front %= queued;
            lastPass = pass;
        }
        front = (front + lower - lastPass) % queued;
        CountTree free(m_counts, copies, true);
        for (std::int32_t t = copies; t-- > 0;) {
            const std::int32_t slot = free.Find(m_insertAt[At(t)] + 1) - 1;
            free.Add(slot + 1, -1);
            const auto inQueue = static_cast<std::int32_t>((slot - front + copies) % copies);
            m_from[At(lower + inQueue)] = place[t];
        }
    }
}

}  // namespace vortel
