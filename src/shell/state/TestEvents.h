// What a running Cartesian paired test reports as it goes. The core only reports; each front end
// decides how to show it: the window as its captions and colours (TestScreen), the batch command
// as lines on standard error, a browser page as a progress bar.
#pragma once

#include <string>

#include "shell/base/Clock.h"

namespace vortel {

struct CartesianResult;  // cartesian/result/CartesianResult.h

// A pair's differences are formed and counted first, then sorted for the percentile limits; a
// pair past the value lists takes its limits from the sorted samples and has no sorting phase.
enum class PairPhase { Differences, Sorting };

class TestEvents {
public:
    virtual ~TestEvents() = default;
    // The pairs are about to be compared; `beganText` is the report's "began at" line.
    virtual void Began(const std::string& beganText, int pairCount) {
        (void)beganText, (void)pairCount;
    }
    // Pair (i, j), in report positions, enters a phase.
    virtual void PairStarted(int i, int j, PairPhase phase) { (void)i, (void)j, (void)phase; }
    virtual void PairDone(int i, int j, const DateTime& when) { (void)i, (void)j, (void)when; }
    // Every pair is compared and the report made: the result, for a front end to show.
    virtual void Finished(const CartesianResult& result) { (void)result; }
    // Then the report's "ended at" line, `endedText`.
    virtual void Finished(const std::string& endedText) { (void)endedText; }
    // The report is in place under `path` (its name may have moved on to a free one).
    virtual void ReportWritten(const std::string& path) { (void)path; }
    // The user stopped the command; nothing was written.
    virtual void Stopped() {}
};

}  // namespace vortel
