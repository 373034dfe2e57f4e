// Small hand-made test results for the report tests: two, three and five treatments whose
// numbers can be checked by eye against the finished report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/base/Clock.h"
#include "shell/mainwindow/App.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/AnalysisState.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel::test {

struct TreatmentRow {
    std::string Name;
    double Original, BootstrapMean, Variance, SE;
    std::int32_t SampleSize, BootstrapNumber;
};

struct PairRow {
    int I, J;
    double CartesianMean, CartesianVariance, CartesianSD, TLower, TUpper, PercentileLower,
        PercentileUpper;
    std::int32_t Insignificant, Significant;
    double P;
};

struct TestResults {
    std::vector<TreatmentRow> Treatments;
    std::vector<PairRow> Pairs;
    double FValue, DfBetween, DfWithin, SidakAlpha;
    std::string ProjectName;
    std::int64_t Seconds;  // from the start of the test to the report's end
};

// 2024-03-07 09:05:03 UTC: the moment of the file-name example.
inline constexpr std::int64_t ReportMoment = 1709802303;

TestResults TwoTreatments();
TestResults ThreeTreatments();
TestResults FiveTreatments();

// Puts the results where the pairwise computation leaves them, the test having begun
// results.Seconds before `end`; TableNumber and the other run-long fields stay as they are.
void Fill(AnalysisState& state, const TestResults& results, std::int64_t end = ReportMoment);

// A report written into a fresh folder, at ReportMoment, with scripted answers.
struct ReportRun {
    TempFolder folder;
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock{ReportMoment};
    Random random;
    Services services{ui, window, clock, random};
    ReportRun() { ui.SetCurrentFolder(folder.Path()); }
};

}  // namespace vortel::test
