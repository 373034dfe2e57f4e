// The capacities of the record's lists and tables.
#pragma once

#include <cstdint>

#include "shell/base/Tables.h"

namespace vortel {

// Highest position of every value list: two treatments of 2000 values and one spare row.
inline constexpr std::int32_t ListCapacity = 4'000'005;
// Whether a list of n values fits the value lists: at least `fewest` and at most ListCapacity.
// Every check of a list's length asks here.
inline constexpr bool ValueCountFits(std::int64_t n, std::int64_t fewest = 0) {
    return n >= fewest && n <= ListCapacity;
}
// Stops the command unless ValueCountFits(n, fewest), with the message `refusal` returns: each
// place that fills a list words its own.
template <class Refusal>
void CheckValueCount(std::int64_t n, Refusal&& refusal, std::int64_t fewest = 0) {
    if (!ValueCountFits(n, fewest)) throw RunStopped(refusal());
}
// Highest position of the sort-and-count utility's class tables.
inline constexpr std::int32_t ClassCapacity = 800'002;

// Positions 1..MostTreatments per treatment, element 0 present and unused.
template <class T>
using PerTreatment = FixedTable<T, MostTreatments>;

}  // namespace vortel
