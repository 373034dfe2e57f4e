// Treatments given as a CSV table, as R, Python and spreadsheets write bootstrap results: one
// file of one or more treatments, in either of two shapes told apart by the header.
//
// Long: columns `treatment` and `value` (any order, any case), one row per bootstrap value; the
// optional columns `n`, `original` and `parameter` hold the same value on each row of a
// treatment (a row may leave them empty). Other columns are ignored.
//
// Wide: the first column labels the rows. The rows labelled `n`, `original` and `parameter` give
// those; every other row is one bootstrap replicate. Each further column is one treatment,
// named by its header cell; empty cells at the end of a column are not values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/base/TableReader.h"

namespace vortel {

struct TableTreatment {
    std::string Name;
    std::int32_t SampleSize = 0;
    double OriginalMean = 0;
    std::string Parameter;
    std::vector<double> Values;  // as written, in row order
    // Where the table names the treatment, for messages.
    std::int64_t Row = 0;
    std::size_t Column = 0;
};

struct TreatmentTable {
    std::string Path;
    std::vector<TableTreatment> Treatments;  // in the order they first appear
    bool DecimalComma = false;
};

// Reads every treatment of the table. A parameter the table does not give is
// `defaultParameter`. Stops the command, naming the file, row and column, on: a missing column,
// a value that is not a number, a treatment with fewer than 2 values or more than ListCapacity,
// more than MostTreatments treatments, two treatments of one name, an n that is not a whole
// number above 0, a treatment without n or original, and what the reader refuses.
TreatmentTable ReadTreatmentTable(TableReader& reader, const std::string& defaultParameter);
TreatmentTable ReadTreatmentTable(const std::string& path, const std::string& defaultParameter);

}  // namespace vortel
