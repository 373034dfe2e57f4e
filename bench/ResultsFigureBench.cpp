// What the results as data and as a picture cost: the CSV tables beside the report (alone and
// in a whole run of the five example treatments) and the differences figure of ten pairs of
// 2000 values each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "gui/DifferencesFigure.h"
#include "report/DifferenceHistogram.h"
#include "report/ResultsCsv.h"
#include "shell/base/OutputFile.h"
#include "shell/state/AnalysisState.h"

namespace {

namespace fs = std::filesystem;

// Five treatments of 2000 normal values with the results a test leaves (ten pairs).
vortel::AnalysisState& FiveTreatments() {
    static vortel::AnalysisState state;
    static bool filled = false;
    if (filled) return state;
    std::mt19937 engine(20240307);
    state.TreatmentCount = 5;
    state.CurrentParameterName = "r";
    state.SidakAlpha = 0.0051162;
    for (int t = 1; t <= 5; ++t) {
        std::normal_distribution<double> values(0.24 - 0.01 * t, 0.005);
        state.TreatmentName(t) = "Treatment " + std::to_string(t);
        state.BootstrapNumber(t) = 2000;
        state.BootstrapNumberReal(t) = 2000;
        state.SampleSize(t) = 40;
        double sum = 0;
        for (int k = 1; k <= 2000; ++k) sum += state.WorkingValues(k, t) = values(engine);
        state.BootstrapMean(t) = sum / 2000;
        state.OriginalMean(t) = state.BootstrapMean(t);
        state.TreatmentSE(t) = 0.005;
        state.BootstrapVariance(t) = 0.005 * 0.005;
    }
    for (int i = 1; i <= 4; ++i) {
        for (int j = i + 1; j <= 5; ++j) {
            const double d = state.BootstrapMean(i) - state.BootstrapMean(j);
            state.CartesianMean(i, j) = d;
            state.CartesianSD(i, j) = 0.007;
            state.TLower(i, j) = d - 0.0137;
            state.TUpper(i, j) = d + 0.0137;
            state.PercentileLower(i, j) = d - 0.0136;
            state.PercentileUpper(i, j) = d + 0.0138;
            state.PValue(i, j) = state.PValue(j, i) = 0.01 * (j - i);
        }
    }
    filled = true;
    return state;
}

// A scratch folder removed with everything in it when the program ends.
struct ScratchFolder {
    fs::path Path =
        fs::temp_directory_path() / ("vortel-bench-results-" + std::to_string(getpid()));
    ScratchFolder() { fs::create_directories(Path); }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

fs::path Scratch() {
    static const ScratchFolder folder;
    return folder.Path;
}

void EnsureQt() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(argc, argv);
    }
}

// Both tables built and written beside a report.
void CsvTablesWritten(benchmark::State& state) {
    const vortel::AnalysisState& s = FiveTreatments();
    const auto paths = vortel::ResultsCsvPathsFor(Scratch() / "report.txt");
    for (auto _ : state) {
        vortel::OutputSet files;
        vortel::WriteResultsCsv(vortel::ResultsCsvOf(s, s, s), paths, files);
        files.CommitAll();
    }
}
BENCHMARK(CsvTablesWritten)->Unit(benchmark::kMicrosecond);

// The histograms of all ten pairs: five sorts of 2000 values and 10 x 49 walks.
void HistogramsOfTenPairs(benchmark::State& state) {
    const vortel::AnalysisState& s = FiveTreatments();
    for (auto _ : state) benchmark::DoNotOptimize(vortel::DifferencesOfPairs(s, s, s));
}
BENCHMARK(HistogramsOfTenPairs)->Unit(benchmark::kMillisecond);

// The whole figure, from the record to the file.
void FigureOfTenPairs(benchmark::State& state, const char* name) {
    EnsureQt();
    const vortel::AnalysisState& s = FiveTreatments();
    const std::string path = (Scratch() / name).string();
    for (auto _ : state)
        vortel::gui::SaveDifferencesFigure(vortel::DifferencesOfPairs(s, s, s), path);
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK_CAPTURE(FigureOfTenPairs, png, "figure.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FigureOfTenPairs, svg, "figure.svg")->Unit(benchmark::kMillisecond);

// A whole run of the five example treatments, with and without the tables.
void RunExamples(benchmark::State& state, bool csv) {
    const fs::path folder = Scratch() / (csv ? "with" : "without");
    fs::create_directories(folder);
    std::string command = "cd '" + folder.string() + "' && '" VORTEL_BINARY "' cartesian";
    if (csv) command += " --csv";
    for (int t = 1; t <= 5; ++t) {
        const std::string name = "treatment-" + std::to_string(t) + ".txt";
        fs::copy_file(fs::path(VORTEL_EXAMPLES) / name, folder / name,
                      fs::copy_options::overwrite_existing);
        command += " " + name;
    }
    command += " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("vortel cartesian failed");
            break;
        }
    }
}
BENCHMARK_CAPTURE(RunExamples, without_csv, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(RunExamples, with_csv, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace
