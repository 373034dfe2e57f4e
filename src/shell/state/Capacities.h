// The capacities of the record's lists and tables.
#pragma once

#include <cstdint>

#include "shell/base/Tables.h"

namespace vortel {

// Highest position of every value list: two treatments of 2000 values and one spare row.
inline constexpr std::int32_t ListCapacity = 4'000'005;
// Highest position of the sort-and-count utility's class tables.
inline constexpr std::int32_t ClassCapacity = 800'002;

// Positions 1..MostTreatments per treatment, element 0 present and unused.
template <class T>
using PerTreatment = FixedTable<T, MostTreatments>;

}  // namespace vortel
