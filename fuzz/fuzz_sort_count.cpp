// Hostile files through the sort-and-count utility, in each of its three input kinds, with and
// without serial numbers, and as tables: the utility either writes its files with sorted values and
// counts that agree with what it read, or stops with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScratchFolder.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "sortcount/SortForBootstrapResults.h"
#include "support/ScriptedDialogues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // First byte: kind (general, boot, results), serial numbers, and the decimals (-1 to 5).
    const std::uint8_t plan = data[0];
    const vortel::Answer kinds[] = {vortel::Answer::Yes, vortel::Answer::No,
                                    vortel::Answer::Cancel};
    const vortel::Answer kind = kinds[plan % 3];
    const bool serials = (plan & 0x04) != 0;
    const int decimals = static_cast<int>((plan >> 3) % 7) - 1;
    // The variable's name, taken from the input, names an output file: clear out the last ones.
    const auto& folder = vortel::fuzz::ScratchFolder();
    for (const auto& e : std::filesystem::directory_iterator(folder))
        std::filesystem::remove_all(e.path());
    // Input that begins with the byte FF is the rest of it as a table, its column "value" sorted.
    const bool table = size > 1 && data[1] == 0xFF;
    const auto file = folder / (table ? "in.csv" : "in.txt");
    const std::size_t skip = table ? 2 : 1;
    std::ofstream(file, std::ios::binary)
        << std::string(reinterpret_cast<const char*>(data) + skip, size - skip);

    vortel::ScriptedDialogues ui;
    ui.Answer(vortel::DialogueKind::YesNoCancel, kind);
    serials ? ui.Yes() : ui.No();
    ui.Pick(file.string()).Type(std::to_string(decimals));
    vortel::HeadlessWindow window;
    vortel::FixedClock clock;
    vortel::Random random;
    vortel::Services services{ui, window, clock, random};
    vortel::AnalysisState state;
    if (table) state.SortColumnName = "value";
    try {
        vortel::SortForBootstrapResults(state, services);
        const std::int32_t n = state.BootstrapNumber(1);
        if (n < 1) std::abort();
        for (std::int32_t k = 2; k <= n; ++k)
            if (state.SortedDifferences.Get(k - 1) > state.SortedDifferences.Get(k)) std::abort();
        double counted = 0;
        for (std::int32_t g = 1; g <= state.ClassCount; ++g) counted += state.ClassFrequency.Get(g);
        if (counted != n) std::abort();
    } catch (const vortel::RunStopped&) {
    }
    return 0;
}
