// What a running test asks its front end on the way, and what the test's computing steps are
// given in place of dialogues and a window.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "shell/base/Clock.h"
#include "shell/base/StopToken.h"
#include "shell/state/TestEvents.h"

namespace vortel {

class OutputTransaction;
struct PairScratch;
struct TestResults;
struct Treatments;

// Called once a test's pairs are compared and its report's code answered, before any of its files
// is put in place, with the treatments, the results and the working space (the samples a figure
// counts from): a front end prepares there what it shows of the result, where a stop still leaves
// nothing written.
using ResultsReadyHook =
    std::function<void(const Treatments&, const TestResults&, const PairScratch&)>;

// The few answers a test needs once it runs. The window and the terminal put them to their user
// as dialogues; a request answers them from what it holds.
class TestQuestions {
public:
    virtual ~TestQuestions() = default;
    // The file of treatment t of n, asked for once the files before it are read, so a refused
    // file abandons the test before the next is chosen. Empty: none was chosen.
    virtual std::string TreatmentFile(int t, int n) = 0;
    // A notice on the way (a table read with a decimal comma, detail files left out).
    virtual void Notice(const std::string& message, const std::string& title) = 0;
    // Where the test's files go, asked once the treatments are read and before the pairs run.
    virtual std::filesystem::path OutputFolder() = 0;
    // The code of the report's file name, asked after the pairs; `problem` says why the last
    // code could not name the file (empty at the first asking).
    virtual std::string ReportCode(const std::string& problem) = 0;
};

// The seams of one running test besides the record.
struct TestSeams {
    Clock& clock;
    Random& random;
    TestEvents& events;
    TestQuestions& questions;
    // Looked at between steps; a request stops the test with CommandStopped.
    const StopToken* stop = nullptr;
    // Keeps the files the test replaces until its runner is done; none, and they go at once.
    OutputTransaction* output = nullptr;
    // Where the test's files go.
    std::filesystem::path folder{};
    ResultsReadyHook resultsReady{};

    std::filesystem::path OutputPath(const std::string& name) const { return folder / name; }
};

}  // namespace vortel
