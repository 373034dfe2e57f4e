// Hostile CSV tables through the table reader and the test's treatment input: a table either
// gives treatments of at least two values each, with n above 0, that the input takes in full, or
// stops with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ScratchFolder.h"
#include "cartesian/CartesianDifference.h"
#include "cartesian/TreatmentTable.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "support/ScriptedRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t treatments = 0;
    try {
        vortel::TableReader reader(text, "t.csv");
        const vortel::TreatmentTable table = vortel::ReadTreatmentTable(reader, "value");
        for (const auto& t : table.Treatments)
            if (t.Values.size() < 2 || t.SampleSize < 1 || t.Name.empty()) std::abort();
        treatments = table.Treatments.size();
    } catch (const vortel::RunStopped&) {
        return 0;
    }
    if (treatments < 2) return 0;

    // Read from a file in blocks, and placed among the treatments, it must give the same.
    const auto path = vortel::fuzz::ScratchFolder() / "t.csv";
    std::ofstream(path, std::ios::binary) << text;
    vortel::ScriptedRun run;
    run.ui.Type(std::to_string(treatments)).Type("0").Pick(path.string());
    try {
        vortel::CartesianDifference(run.state, run.services);
    } catch (const vortel::RunStopped&) {
        std::abort();  // the table read in memory was sound
    }
    const vortel::AnalysisState& state = run.state;
    if (state.TreatmentCount != static_cast<std::int16_t>(treatments)) std::abort();
    for (int t = 1; t <= state.TreatmentCount; ++t)
        if (state.BootstrapNumber(t) < 2 ||
            state.BootstrapNumberReal(t) != state.BootstrapNumber(t))
            std::abort();
    return 0;
}
