// The record of a session: its parts, each with one owner, together. The front ends hold one;
// the core's procedures take the parts they need.
#pragma once

#include "shell/state/Capacities.h"
#include "shell/state/PairScratch.h"
#include "shell/state/ReportHeader.h"
#include "shell/state/SessionFiles.h"
#include "shell/state/SortCountRecord.h"
#include "shell/state/TestOptions.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"
#include "shell/state/WindowRecord.h"

namespace vortel {

// Lives as long as the App and holds no widgets, so a test can start from a fresh one.
struct AnalysisState : TestOptions,
                       Treatments,
                       TestResults,
                       PairScratch,
                       SortHandOver,
                       ReportHeader,
                       SessionFiles,
                       SortCountRecord,
                       WindowRecord {
    AnalysisState() = default;
    AnalysisState(const AnalysisState&) = delete;
    AnalysisState& operator=(const AnalysisState&) = delete;
};

}  // namespace vortel
