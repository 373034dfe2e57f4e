// What the sort-and-count utility reads from its file and leaves: the kind and layout of the
// file, its header, and the classes it counted.
#pragma once

#include <cstdint>
#include <string>

#include "shell/base/Variant.h"
#include "shell/state/Capacities.h"

namespace vortel {

struct SortCountRecord {
    std::string SortDataKind;
    std::int32_t ClassCount = 0;
    bool SortSerialNumbers = false;
    std::string SortFilePath;
    std::string SortVariableName;
    // The column of a table to sort, when a front end names it beforehand (--column).
    std::string SortColumnName;
    double SortSampleMean = 0;
    double DecimalLimit = 0;
    PositionList<double> ClassValue{"ClassValue", ClassCapacity};
    PositionList<double> ClassFrequency{"ClassFrequency", ClassCapacity};
    Variant SortFieldA;
};

}  // namespace vortel
