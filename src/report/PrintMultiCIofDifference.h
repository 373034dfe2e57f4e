// The result report of a Cartesian paired test.
#pragma once

#include <cstdint>
#include <string>

#include "report/CartesianResult.h"
#include "shell/state/App.h"

namespace vortel {

struct AnalysisState;
class OutputSet;

// Asks for the file-name code, writes the whole report from the analysis state, fills the
// comparison grid and shows the file name in the main window. Leaves ResultFileName,
// OutputFileCode, TableNumber, TestEndedText, TestEndTime and TotalTimeText.
// The report appears whole or not at all, and never in place of another file: where its name is
// taken it goes to "<name> (2).txt", "<name> (3).txt", ..., and ResultFileName (and every place
// that shows it) names the file it went to.
void PrintMultiCIofDifference(AnalysisState& state, Services& services);
// The same, with the other files of the test (the detail files) put in place together with the
// report: all of them appear, or none.
void PrintMultiCIofDifference(AnalysisState& state, Services& services, OutputSet& alongside);
// The same from the test's result, read once from the state after the last pair.
void PrintMultiCIofDifference(AnalysisState& state, const CartesianResult& result,
                              Services& services, OutputSet& alongside);

// "Total time = ..." in seconds below two minutes, in minutes below an hour, in hours beyond,
// minutes and hours to two decimals.
std::string DurationText(std::int64_t seconds);

}  // namespace vortel
