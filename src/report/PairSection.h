// One comparison section of the result report: the two treatments side by side, their Cartesian
// differences, and the verdicts of the t interval, the percentile interval and the P-value.
#pragma once

#include "cartesian/result/CartesianResult.h"
#include "shell/base/TextRecords.h"

namespace vortel {

// Prints the section of one pair of the result to the open report.
void PrintPairSection(const CartesianResult& result, TextWriter& out, const PairResult& pair);

}  // namespace vortel
