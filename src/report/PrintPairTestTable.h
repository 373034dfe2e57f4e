// The five triangular pair-test tables that close the result report, one treatment per row and
// per column, followed by the letter-marking section.
#pragma once

#include <cstdint>

#include "cartesian/result/CartesianResult.h"
#include "shell/base/TextRecords.h"

namespace vortel {

struct ReportHeader;
struct SessionFiles;

// Prints tables 1 to 5 and the letter marking to the open report. The tables' cells come from
// the result, and so does the letter marking; the state gives the two table rules and the table
// numbers (each table increases TableNumber by one).
void PrintPairTestTable(ReportHeader& header, SessionFiles& files, const CartesianResult& result,
                        TextWriter& out);

}  // namespace vortel
