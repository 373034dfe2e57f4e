// The result report of a Cartesian paired test.
#pragma once

#include <cstdint>
#include <string>

#include "report/CartesianResult.h"
#include "shell/state/AnalysisState.h"
#include "shell/state/TestQuestions.h"

namespace vortel {

struct AnalysisState;
class OutputSet;

// Asks for the file-name code (TestQuestions::ReportCode, again with the reason while the code
// cannot name the file), writes the whole report from the test's result and the analysis state,
// and hands the result to the front end (TestEvents::Finished). Leaves ResultFileName,
// OutputFileCode, TableNumber, TestEndedText, TestEndTime and TotalTimeText. The report appears
// together with the other files of the test in `alongside` (the detail files), all or none, and
// never in place of another file: where its name is taken it goes to "<name> (2).txt",
// "<name> (3).txt", ..., and ResultFileName (and every place that shows it) names the file it
// went to.
void PrintMultiCIofDifference(AnalysisState& state, const CartesianResult& result, TestSeams& seams,
                              OutputSet& alongside);

// "Total time = ..." in seconds below two minutes, in minutes below an hour, in hours beyond,
// minutes and hours to two decimals.
std::string DurationText(std::int64_t seconds);

}  // namespace vortel
