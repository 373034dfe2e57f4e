#include "sorting/GroupOrdering.h"

#include <algorithm>
#include <limits>

namespace vortel {

namespace {

// Smallest rank of every block of 16 positions, and of every subtree of blocks, so that "first
// later position holding a smaller rank" takes a short scan, one climb and one descent. Blocks
// keep the tree small enough to stay in cache for groups of millions.
class MinTree {
public:
    static constexpr std::int32_t Block = 16;

    MinTree(std::vector<std::int32_t>& nodes, const std::vector<std::int32_t>& ranks,
            std::int32_t count)
        : m_nodes(nodes), m_ranks(ranks), m_count(count) {
        const std::int32_t blocks = (count + Block - 1) / Block;
        m_leaves = 1;
        while (m_leaves < blocks) m_leaves *= 2;
        m_nodes.assign(2 * static_cast<std::size_t>(m_leaves),
                       std::numeric_limits<std::int32_t>::max());
        for (std::int32_t b = 0; b < blocks; ++b) m_nodes[At(m_leaves + b)] = BlockMin(b);
        for (std::int32_t node = m_leaves - 1; node >= 1; --node)
            m_nodes[At(node)] = std::min(m_nodes[At(2 * node)], m_nodes[At(2 * node + 1)]);
    }

    // The rank at `position` has just risen from `old`.
    void Raised(std::int32_t position, std::int32_t old) {
        std::int32_t node = position / Block + m_leaves;
        if (m_nodes[At(node)] != old) return;
        const std::int32_t smallest = BlockMin(position / Block);
        if (smallest == old) return;
        m_nodes[At(node)] = smallest;
        for (node /= 2; node >= 1; node /= 2) {
            const std::int32_t least = std::min(m_nodes[At(2 * node)], m_nodes[At(2 * node + 1)]);
            if (m_nodes[At(node)] == least) break;
            m_nodes[At(node)] = least;
        }
    }

    // First position at or after `from` whose rank is below `rank`; the caller knows one exists.
    std::int32_t FirstBelow(std::int32_t from, std::int32_t rank) const {
        const std::int32_t block = from / Block;
        const std::int32_t blockEnd = std::min(m_count, (block + 1) * Block);
        for (std::int32_t p = from; p < blockEnd; ++p)
            if (m_ranks[At(p)] < rank) return p;
        std::int32_t node = block + 1 + m_leaves;
        while (m_nodes[At(node)] >= rank) {
            while (node % 2 == 1) node /= 2;  // climb while a right child
            ++node;                           // then step to the right neighbour
        }
        while (node < m_leaves) {
            node *= 2;
            if (m_nodes[At(node)] >= rank) ++node;
        }
        std::int32_t p = (node - m_leaves) * Block;
        while (m_ranks[At(p)] >= rank) ++p;
        return p;
    }

private:
    static std::size_t At(std::int32_t k) { return static_cast<std::size_t>(k); }
    std::int32_t BlockMin(std::int32_t b) const {
        const std::int32_t end = std::min(m_count, (b + 1) * Block);
        std::int32_t smallest = std::numeric_limits<std::int32_t>::max();
        for (std::int32_t p = b * Block; p < end; ++p)
            smallest = std::min(smallest, m_ranks[At(p)]);
        return smallest;
    }

    std::vector<std::int32_t>& m_nodes;
    const std::vector<std::int32_t>& m_ranks;
    std::int32_t m_count;
    std::int32_t m_leaves;
};

}  // namespace

void GroupOrdering::Order(double* values, std::int32_t* serials, std::int32_t count) {
    if (count < 2) return;
    const auto size = static_cast<std::size_t>(count);
    m_sorted.resize(size);
    for (std::int32_t i = 0; i < count; ++i) m_sorted[static_cast<std::size_t>(i)] = {values[i], i};
    std::sort(m_sorted.begin(), m_sorted.end(),
              [](const Entry& a, const Entry& b) { return a.Value < b.Value; });

    m_rank.resize(size);
    std::int32_t distinct = 1;
    m_rank[static_cast<std::size_t>(m_sorted[0].From)] = 0;
    for (std::size_t k = 1; k < size; ++k) {
        if (m_sorted[k].Value != m_sorted[k - 1].Value) ++distinct;
        m_rank[static_cast<std::size_t>(m_sorted[k].From)] = distinct - 1;
    }

    m_values.assign(values, values + count);
    m_serials.assign(serials, serials + count);
    if (distinct == count) {
        // Without equal values the order is the same whichever way it is reached.
        for (std::size_t k = 0; k < size; ++k) {
            values[k] = m_sorted[k].Value;
            serials[k] = m_serials[static_cast<std::size_t>(m_sorted[k].From)];
        }
        return;
    }
    m_first.assign(static_cast<std::size_t>(distinct) + 1, 0);
    for (std::size_t k = 0; k < size; ++k) ++m_first[static_cast<std::size_t>(m_rank[k]) + 1];
    for (std::size_t r = 1; r <= static_cast<std::size_t>(distinct); ++r)
        m_first[r] += m_first[r - 1];
    std::int32_t tied = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(distinct); ++r)
        tied += m_first[r + 1] - m_first[r] > 1;
    // One scan per tied value against a chain walk whose length grows with the distinct values.
    if (tied <= 256)
        OrderTiesByValue(count, distinct);
    else
        ExchangeOrder(count, distinct);
    for (std::size_t k = 0; k < size; ++k) {
        const auto from = static_cast<std::size_t>(m_from[k]);
        values[k] = m_values[from];
        serials[k] = m_serials[from];
    }
}

// Seen through one value r, the exchange sort moves three kinds: below r, r, above r. Below any
// bound its passes just bring the values below to the front: pass i moves the i-th of them (in
// their starting order) to i when it is not there, so the positions of the values below a bound
// at pass i are the starting ones from the i-th on. Hence pass i moves a value r only when the
// i-th value up to r stands at s_i and is an r; it goes to s'_i, where the i-th value below r
// stands, or to i once no value below r is left. One scan over the group follows every r.
void GroupOrdering::OrderTiesByValue(std::int32_t count, std::int32_t distinct) {
    const auto size = static_cast<std::size_t>(count);
    m_from.resize(size);
    m_who.resize(size);
    const std::int32_t* rank = m_rank.data();
    for (std::int32_t r = 0; r < distinct; ++r) {
        const std::int32_t below = m_first[static_cast<std::size_t>(r)];
        const std::int32_t upTo = m_first[static_cast<std::size_t>(r) + 1];
        if (upTo - below == 1) {
            m_from[static_cast<std::size_t>(below)] =
                m_sorted[static_cast<std::size_t>(below)].From;
            continue;
        }
        for (std::int32_t k = below; k < upTo; ++k) {
            const std::int32_t from = m_sorted[static_cast<std::size_t>(k)].From;
            m_who[static_cast<std::size_t>(from)] = from;
        }
        std::int32_t scanUpTo = 0, scanBelow = 0;
        for (std::int32_t i = 0; i < upTo; ++i) {
            while (rank[scanUpTo] > r) ++scanUpTo;
            const std::int32_t at = scanUpTo++;
            std::int32_t to = i;
            if (i < below) {
                while (rank[scanBelow] >= r) ++scanBelow;
                to = scanBelow++;
                if (to == at) continue;  // a value below r leads: no r moves in this pass
            }
            m_who[static_cast<std::size_t>(to)] = m_who[static_cast<std::size_t>(at)];
        }
        for (std::int32_t k = below; k < upTo; ++k)
            m_from[static_cast<std::size_t>(k)] = m_who[static_cast<std::size_t>(k)];
    }
}

// Pass i of the exchange sort carries the value at i forward: at each later position holding
// a smaller value the two change places and the smaller one is carried on. So a pass touches
// only the chain of ever smaller values met from i, and it ends once it carries the smallest
// value left, which then lands at i. A chain is never longer than the number of distinct values.
void GroupOrdering::ExchangeOrder(std::int32_t count, std::int32_t distinct) {
    const auto size = static_cast<std::size_t>(count);
    m_from.resize(size);
    for (std::int32_t i = 0; i < count; ++i) m_from[static_cast<std::size_t>(i)] = i;
    m_left.assign(static_cast<std::size_t>(distinct), 0);
    for (std::size_t k = 0; k < size; ++k) ++m_left[static_cast<std::size_t>(m_rank[k])];
    if (distinct == 1) return;

    MinTree tree(m_tree, m_rank, count);
    std::int32_t smallest = 0;  // smallest rank at positions i and later
    for (std::int32_t i = 0; i < count - 1; ++i) {
        while (m_left[static_cast<std::size_t>(smallest)] == 0) ++smallest;
        const auto at = static_cast<std::size_t>(i);
        std::int32_t carried = m_rank[at];
        std::int32_t carriedFrom = m_from[at];
        std::int32_t position = i;
        while (carried > smallest) {
            position = tree.FirstBelow(position + 1, carried);
            const auto p = static_cast<std::size_t>(position);
            std::swap(carried, m_rank[p]);
            std::swap(carriedFrom, m_from[p]);
            tree.Raised(position, carried);
        }
        m_rank[at] = carried;
        m_from[at] = carriedFrom;
        --m_left[static_cast<std::size_t>(carried)];
    }
}

}  // namespace vortel
