// The final ordering of one group of the partitioned sort: the result of a plain exchange sort
// (for each position, exchange with every later value that is strictly smaller), found without
// its quadratic number of comparisons.
#pragma once

#include <cstdint>
#include <vector>

namespace vortel {

// Keeps its work lists between groups, so ordering many small groups allocates little.
class GroupOrdering {
public:
    // Orders values[0..count) ascending and moves serials[i] along with values[i]. Equal values
    // end in exactly the order the exchange sort leaves them in. Values must not be NaN.
    void Order(double* values, std::int32_t* serials, std::int32_t count);

private:
    struct Entry {
        double Value;
        std::int32_t From;  // position in the group before ordering
    };
    void OrderTies(std::int32_t count, std::int32_t distinct);

    std::vector<Entry> m_sorted;
    std::vector<std::int32_t> m_rank;    // rank of the value at each position, 0 = smallest
    std::vector<std::int32_t> m_from;    // where the value now at each position started
    std::vector<std::int32_t> m_first;   // per rank: how many values rank below it
    std::vector<std::int32_t> m_byRank;  // positions grouped by rank, each rank in order
    std::vector<std::int32_t> m_below;   // per position: values of lower rank before it
    std::vector<std::int32_t> m_counts;  // counting tree over ranks, then over queue slots
    std::vector<std::int32_t> m_insertAt;
    std::vector<double> m_values;
    std::vector<std::int32_t> m_serials;
};

}  // namespace vortel
