// Hostile bootstrap-result files through the treatment input of a Cartesian test: the input
// either succeeds with counts that agree with the values held, or stops with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScratchFolder.h"
#include "cartesian/CartesianDifference.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/ScriptedDialogues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // First byte: transformation and reversed order; the rest splits at the first NUL into the
    // two treatment files.
    const int transformation = data[0] % 3;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = rest.find('\0');
    const std::string first = rest.substr(0, cut);
    const std::string second = cut == std::string::npos ? first : rest.substr(cut + 1);
    const auto a = vortel::fuzz::ScratchFolder() / "a.txt";
    const auto b = vortel::fuzz::ScratchFolder() / "b.txt";
    std::ofstream(a, std::ios::binary) << first;
    std::ofstream(b, std::ios::binary) << second;

    vortel::ScriptedDialogues ui;
    ui.Type("2").Type(std::to_string(transformation)).Pick(a.string()).Pick(b.string());
    vortel::HeadlessWindow window;
    vortel::FixedClock clock;
    vortel::Random random;
    vortel::Services services{ui, window, clock, random};
    vortel::AnalysisState state;
    state.ReversedSort = (data[0] & 0x80) != 0;
    try {
        vortel::CartesianDifference(state, services);
        for (int t = 1; t <= 2; ++t) {
            if (state.BootstrapNumber(t) < 1 ||
                state.BootstrapNumberReal(t) != state.BootstrapNumber(t))
                std::abort();
        }
    } catch (const vortel::RunStopped&) {
    }
    return 0;
}
