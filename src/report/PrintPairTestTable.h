// The five triangular pair-test tables that close the result report, one treatment per row and
// per column, followed by the letter-marking section.
#pragma once

#include <cstdint>

#include "report/CartesianResult.h"
#include "shell/base/TextRecords.h"

namespace vortel {

struct AnalysisState;

// Prints tables 1 to 5 and the letter marking to the open report. The tables' cells come from
// the result; the state gives the two table rules and the table numbers (each table increases
// TableNumber by one), and the letter marking still reads the state's names and P-values.
void PrintPairTestTable(AnalysisState& state, const CartesianResult& result, TextWriter& out);

}  // namespace vortel
