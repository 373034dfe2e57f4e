// A reader of CSV tables of its own, to check what the program writes as R and Python read it.
#pragma once

#include <string>
#include <vector>

#include "shell/state/AnalysisState.h"

namespace vortel::test {

using Record = std::vector<std::string>;

// RFC 4180 as a spreadsheet reads it: records end in CR LF, a quoted field may hold commas,
// line breaks and doubled quotes. Fails the running test on anything else.
std::vector<Record> ReadCsv(const std::string& text);

// The field read as R and Python read it, compared bit for bit, so -0 and 0 differ.
void ExpectSameDouble(const std::string& field, double expected, const std::string& what);

// Fields 6 to 15 of a row of pairs.csv (mean difference to P) against what the record holds for
// pair (i, j).
void ExpectPairResults(const Record& r, const AnalysisState& s, int i, int j,
                       const std::string& what);

}  // namespace vortel::test
