// The Cartesian paired test as one call, for any front end: treatments and options in as data,
// progress out as events, the result back as a value. No dialogue and no widget; files only
// when an output is passed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cartesian/result/CartesianResult.h"
#include "report/DifferenceHistogram.h"
#include "report/ResultFileName.h"
#include "shell/base/Clock.h"
#include "shell/base/StopToken.h"
#include "shell/state/TestEvents.h"
#include "shell/state/TestQuestions.h"

namespace vortel {

class OutputTransaction;
struct AnalysisState;

// One treatment as an earlier bootstrap analysis gives it.
struct TreatmentSamples {
    std::string Name;
    std::int32_t SampleSize = 0;  // n of the original data, for the F test
    double Original = 0;          // the estimate from the original data
    std::vector<double> Values;   // the B bootstrap values, untransformed
    std::string Parameter = "value";
};

struct CartesianRequest {
    // 2 to 20, in entry order; the test orders them by their bootstrap means.
    std::vector<TreatmentSamples> Treatments;
    // Or the treatments' files (bootstrap-result files and tables), in entry order, read as the
    // window reads the files chosen for a test: same checks, same messages. Tables take their
    // parameter from TableParameter (empty: the first numeric column's name).
    std::vector<std::string> Files;
    std::string TableParameter;
    // Or, with questions to ask (RunControl::Questions), how many treatments the front end's
    // user chooses one file at a time.
    int TreatmentCount = 0;
    Transformation Transform = Transformation::None;
    bool Reversed = false;  // increasing means in place of decreasing
    // The files, written only with an output (RunControl::Output).
    std::string Code = NoCode;  // the report name's code; NoCode for the date and time
    bool DetailFiles = false;
    bool FlowRecord = false;
    bool CsvTables = false;
};

// Where the files of a test go, all or none, named as the window's test names them.
struct CartesianOutput {
    std::filesystem::path Folder;
    // Keeps earlier files until the caller's command is done; none, and they go at the commit.
    OutputTransaction* Transaction = nullptr;
    // Set by the run: the report, under the name it took.
    std::filesystem::path Report{};
    // Set by the run when a flow record was asked for: the record's file.
    std::filesystem::path FlowRecordPath{};
    // The notices the run gives on the way (a table read with a decimal comma), in order.
    std::vector<std::string> Notes{};
    // Set by the run when asked for: every pair's differences, for a figure.
    bool WantDifferences = false;
    std::vector<PairDifferences> Differences{};
};

struct RunControl {
    TestEvents* Events = nullptr;       // none: progress is not reported
    const StopToken* Stop = nullptr;    // none: the test cannot be stopped
    Clock* Time = nullptr;              // the report's times; none: the machine's clock
    CartesianOutput* Output = nullptr;  // none: nothing is written
    // A front end with a user to ask: the treatment files one at a time, the notices, the
    // output folder and the report's code go to it (the folder and the code are asked once the
    // treatments are read and once the pairs are compared). None: the request answers them,
    // and a notice that would leave detail files out stops the test instead.
    TestQuestions* Questions = nullptr;
    // The front end's record of its session: the report's header goes on from it (edition,
    // table numbers), the test leaves its values in it, and a flow record it holds open gets
    // the test's lines. None: a fresh record, as a fresh program run has.
    AnalysisState* Session = nullptr;
    // The generator a report's name with a code draws from; none: one seeded from the clock.
    Random* Generator = nullptr;
    // As TestSeams::resultsReady.
    ResultsReadyHook ResultsReady{};
};

// Runs the whole test. Stops with RunStopped, naming the file, treatment or value at fault, for
// files that cannot be read as treatments, for treatments given both as values and as files, for
// treatments the test cannot compare (fewer than 2 or more than 20, fewer than two values, no
// within-groups degrees of freedom, values outside the transformation's domain) and for files
// asked for without an output; with CommandStopped when Stop is requested. Either way nothing
// is written: with an output, files the run had already put in place (the flow record) are put
// back as they were, at once without a transaction, else by the transaction's Restore().
CartesianResult RunCartesianTest(const CartesianRequest& request, const RunControl& control);

}  // namespace vortel
