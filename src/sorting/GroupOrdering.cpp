#include "sorting/GroupOrdering.h"

#include <algorithm>
#include <limits>

namespace vortel {

namespace {

// Smallest rank of every subtree over the positions, leaves from `Leaves` on, so that "first
// later position holding a smaller rank" takes one climb and one descent.
class MinTree {
public:
    MinTree(std::vector<std::int32_t>& nodes, const std::vector<std::int32_t>& ranks,
            std::int32_t count)
        : m_nodes(nodes) {
        m_leaves = 1;
        while (m_leaves < count) m_leaves *= 2;
        m_nodes.assign(2 * static_cast<std::size_t>(m_leaves),
                       std::numeric_limits<std::int32_t>::max());
        std::copy(ranks.begin(), ranks.begin() + count, m_nodes.begin() + m_leaves);
        for (std::int32_t node = m_leaves - 1; node >= 1; --node)
            m_nodes[At(node)] = std::min(m_nodes[At(2 * node)], m_nodes[At(2 * node + 1)]);
    }

    void Set(std::int32_t position, std::int32_t rank) {
        std::int32_t node = position + m_leaves;
        m_nodes[At(node)] = rank;
        for (node /= 2; node >= 1; node /= 2) {
            const std::int32_t smallest =
                std::min(m_nodes[At(2 * node)], m_nodes[At(2 * node + 1)]);
            if (m_nodes[At(node)] == smallest) break;
            m_nodes[At(node)] = smallest;
        }
    }

    // First position at or after `from` whose rank is below `rank`; the caller knows one exists.
    std::int32_t FirstBelow(std::int32_t from, std::int32_t rank) const {
        std::int32_t node = from + m_leaves;
        while (m_nodes[At(node)] >= rank) {
            while (node % 2 == 1) node /= 2;  // climb while a right child
            ++node;                           // then step to the right neighbour
        }
        while (node < m_leaves) {
            node *= 2;
            if (m_nodes[At(node)] >= rank) ++node;
        }
        return node - m_leaves;
    }

private:
    static std::size_t At(std::int32_t node) { return static_cast<std::size_t>(node); }
    std::vector<std::int32_t>& m_nodes;
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
    ExchangeOrder(count, distinct);
    for (std::size_t k = 0; k < size; ++k) {
        const auto from = static_cast<std::size_t>(m_from[k]);
        values[k] = m_values[from];
        serials[k] = m_serials[from];
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
            tree.Set(position, m_rank[p]);
        }
        m_rank[at] = carried;
        m_from[at] = carriedFrom;
        --m_left[static_cast<std::size_t>(carried)];
    }
}

}  // namespace vortel
