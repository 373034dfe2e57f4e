// The result report of a Cartesian paired test.
#pragma once

#include <cstdint>
#include <string>

#include "cartesian/result/CartesianResult.h"
#include "shell/state/PairScratch.h"
#include "shell/state/ReportHeader.h"
#include "shell/state/SessionFiles.h"
#include "shell/state/TestOptions.h"
#include "shell/state/TestQuestions.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

class OutputSet;

// The parts of a session's record the report reads and leaves.
struct ReportParts {
    // CsvResults.
    const TestOptions& options;
    // CurrentParameterName, and the treatments the front end's ResultsReadyHook is given.
    const Treatments& treatments;
    TestResults& results;
    // The working space the front end's ResultsReadyHook is given.
    const PairScratch& work;
    // The edition, the project and the table numbers.
    ReportHeader& header;
    // OutputBaseName and the flow record.
    SessionFiles& files;
};

// Asks for the file-name code (TestQuestions::ReportCode, again with the reason while the code
// cannot name the file), writes the whole report from the test's result and the record's parts,
// and hands the result to the front end (TestEvents::Finished). Leaves ResultFileName,
// OutputFileCode, TableNumber, TestEndedText, TestEndTime and TotalTimeText. The report appears
// together with the other files of the test in `alongside` (the detail files), all or none, and
// never in place of another file: where its name is taken it goes to "<name> (2).txt",
// "<name> (3).txt", ..., and ResultFileName (and every place that shows it) names the file it
// went to.
void PrintMultiCIofDifference(const ReportParts& parts, const CartesianResult& result,
                              TestSeams& seams, OutputSet& alongside);

// "Total time = ..." in seconds below two minutes, in minutes below an hour, in hours beyond,
// minutes and hours to two decimals.
std::string DurationText(std::int64_t seconds);

}  // namespace vortel
