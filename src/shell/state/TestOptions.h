// The options of a Cartesian paired test, set by its launch or by the front end's request.
#pragma once

#include <string>

namespace vortel {

struct TestOptions {
    bool CartesianTest = false;
    bool DetailedDifferences = false;
    // Set by the batch command: detail files that cannot be written for a pair stop the test
    // rather than being left out of it.
    bool DetailFilesRequired = false;
    bool ReversedSort = false;
    // The report also writes its results as CSV tables beside it (set by a front end, never by
    // the launch's questions).
    bool CsvResults = false;
    // The parameter of a treatment whose table names none.
    std::string TableParameterName = "value";
    // The launch's first question was answered No.
    bool DetailQuestionDeclined = false;
};

}  // namespace vortel
