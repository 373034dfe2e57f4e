// The pairwise computation's working space: what one pair (or one sort) works in and leaves for
// the next to overwrite.
#pragma once

#include <cstdint>

#include "shell/state/Capacities.h"

namespace vortel {

struct PairScratch {
    TreatmentLists<double> WorkingValues{"WorkingValues", ListCapacity};
    PositionList<std::int32_t> ValueWeight{"ValueWeight", ListCapacity};
    PerTreatment<double> TreatmentSum{"TreatmentSum"};
    PerTreatment<double> TreatmentSumOfSquares{"TreatmentSumOfSquares"};
    PerTreatment<double> SumsVariance{"SumsVariance"};
    double SumOfMeans = 0;
    double GrandMean = 0;
    double BetweenSS = 0;
    double WithinSS = 0;
    PairTable<std::int64_t> LowCount{"LowCount"};
    PairTable<std::int64_t> HighCount{"HighCount"};
    std::int64_t CartesianIndex = 0;
    double PairSum = 0;
    double PairSumOfSquares = 0;

    // The work lists of the sorts.
    PositionList<double> SortedDifferences{"SortedDifferences", ListCapacity};
    PositionList<double> SortInput{"SortInput", ListCapacity};
    PositionList<double> SortOutput{"SortOutput", ListCapacity};
    std::int32_t SortCount = 0;
    PositionList<std::int32_t> SortInputSerial{"SortInputSerial", ListCapacity};
    PositionList<std::int32_t> SortOutputSerial{"SortOutputSerial", ListCapacity};
};

// What the partitioned sort hands from one sort to the next: its group limit, once set, stays
// for the rest of the run.
struct SortHandOver {
    double SortTotal = 0;
    double SortMean = 0;
    std::int16_t SortGroupLimit = 0;
    bool SortGroupLimitSet = false;
};

}  // namespace vortel
