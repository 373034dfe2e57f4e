// A test's own program run: a record filled as treatment input would leave it, and the seams
// a command talks through, with outputs going to a fresh folder.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "shell/mainwindow/App.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/AnalysisState.h"
#include "shell/state/Window.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel::test {

struct Treatment {
    std::string Name;
    std::vector<double> Values;
    std::int32_t SampleSize = 10;
    double OriginalMean = 0;
};

// Positions 1..n as treatment input leaves them, in the order given, parameter "r".
inline void LoadTreatments(AnalysisState& s, const std::vector<Treatment>& treatments) {
    s.TreatmentCount = static_cast<std::int16_t>(treatments.size());
    s.OutputBaseName = "25A-Cartesian diff";
    s.CurrentParameterName = "r";
    for (std::int16_t t = 1; t <= s.TreatmentCount; ++t) {
        const Treatment& tr = treatments[static_cast<std::size_t>(t - 1)];
        const auto b = static_cast<std::int32_t>(tr.Values.size());
        s.TreatmentName(t) = tr.Name;
        s.ParameterName(t) = s.CurrentParameterName;
        s.SampleSize(t) = tr.SampleSize;
        s.OriginalMean(t) = tr.OriginalMean;
        s.BootstrapNumber(t) = b;
        s.BootstrapNumberReal(t) = b;
        for (std::int32_t k = 1; k <= b; ++k) {
            s.BootstrapValues(k, t) = tr.Values[static_cast<std::size_t>(k - 1)];
            s.ValueFlag(k) = 1;
        }
    }
    const int pairs = s.TreatmentCount * (s.TreatmentCount - 1) / 2;
    s.PairCount = static_cast<std::int16_t>(pairs);
    s.SidakAlpha = pairs > 0 ? 1 - std::pow(0.95, 1.0 / pairs) : 0;
    s.TableRuleDouble.assign(static_cast<std::size_t>(11 * s.TreatmentCount + 15), '=');
    s.TableRuleSingle.assign(static_cast<std::size_t>(11 * s.TreatmentCount + 15), '-');
}

// 7 March 2024, 09:05:03 UTC.
inline constexpr std::int64_t TestMoment = 1709802303;

struct TestRun {
    TestRun() {
        SetEditionValues(state);
        ui.SetCurrentFolder(folder.Path());
    }
    AnalysisState state;
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock{TestMoment};
    Random random;
    Services services{ui, window, clock, random};
    TempFolder folder;
};

}  // namespace vortel::test
