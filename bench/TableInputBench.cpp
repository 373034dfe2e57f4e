// Treatment input of a test from tables against treatment files: five treatments of
// B = 1,000,000 values (17 digits each), read and ordered by the test's treatment input, from
// five treatment files, from one long table of 5,000,000 rows as a script writes it, from the
// same table as R's write.csv writes it (row names, quoted texts), and from one wide table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cartesian/CartesianDifference.h"
#include "shell/mainwindow/App.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"

namespace {

namespace fs = std::filesystem;
using namespace vortel;

constexpr int Treatments = 5;
constexpr int B = 1'000'000;

// Accepts every offered answer; the files come ahead of their dialogues.
class OfferedAnswers : public Dialogues {
public:
    Answer AskYesNo(const std::string&, const std::string&) override { return Answer::No; }
    Answer AskYesNoCancel(const std::string&, const std::string&) override { return Answer::No; }
    Answer Notify(const std::string&, const std::string&) override { return Answer::Ok; }
    std::string AskText(const std::string&, const std::string&,
                        const std::string& offered) override {
        return offered;
    }
    void Beep() override {}

protected:
    std::optional<std::string> PickFile(const std::string&) override { return std::nullopt; }
};

struct Inputs {
    fs::path Folder;
    std::vector<std::string> Files;
    std::string Long, LongR, Wide;
    Inputs() {
        Folder = fs::temp_directory_path() / ("vortel-bench-tables-" + std::to_string(getpid()));
        fs::create_directories(Folder);
        std::mt19937_64 engine(20240307);
        std::vector<std::vector<std::string>> values(Treatments);
        char buffer[40];
        for (int t = 0; t < Treatments; ++t) {
            std::normal_distribution<double> normal(0.23 - 0.004 * (t + 1), 0.005);
            for (int k = 0; k < B; ++k) {
                const int n = std::snprintf(buffer, sizeof buffer, "%.17g", normal(engine));
                values[t].emplace_back(buffer, static_cast<std::size_t>(n));
            }
        }
        std::string plain = "treatment,n,original,value\r\n";
        std::string r = "\"\",\"treatment\",\"n\",\"original\",\"value\"\n";
        std::string wide = ",";
        std::size_t row = 0;
        for (int t = 0; t < Treatments; ++t) {
            const std::string name = "T" + std::to_string(t + 1);
            std::string file = name + "\r\nBootstrap results\r\n48\r\nLife table\r\n" +
                               std::to_string(B) + "\r\nr\r\n48\r\n0.23\r\n";
            for (const std::string& v : values[t]) {
                file += v + "\r\n";
                plain += name + ",48,0.23," + v + "\r\n";
                r += "\"" + std::to_string(++row) + "\",\"" + name + "\",48,0.23," + v + "\n";
            }
            const fs::path path = Folder / ("treatment-" + std::to_string(t + 1) + ".txt");
            std::ofstream(path, std::ios::binary) << file;
            Files.push_back(path.string());
            wide += name + (t + 1 < Treatments ? "," : "\r\n");
        }
        wide += "n,48,48,48,48,48\r\noriginal,0.23,0.23,0.23,0.23,0.23\r\n";
        for (int k = 0; k < B; ++k) {
            wide += std::to_string(k + 1);
            for (int t = 0; t < Treatments; ++t) wide += "," + values[t][k];
            wide += "\r\n";
        }
        Long = Write("long.csv", plain);
        LongR = Write("long-r.csv", r);
        Wide = Write("wide.csv", wide);
    }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Folder / name, std::ios::binary) << text;
        return (Folder / name).string();
    }
    ~Inputs() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
};

const Inputs& Made() {
    static const Inputs inputs;
    return inputs;
}

// The test's treatment input alone: the count and transformation questions, every file read,
// the treatments ordered and put in their places. A fresh record each time, made untimed.
void ReadAndOrder(benchmark::State& state, const std::vector<std::string>& files) {
    OfferedAnswers ui;
    HeadlessWindow window;
    SystemClock clock;
    Random random;
    Services services{ui, window, clock, random};
    double bytes = 0;
    for (const auto& f : files) bytes += static_cast<double>(fs::file_size(f));
    for (auto _ : state) {
        state.PauseTiming();
        auto record = std::make_unique<AnalysisState>();
        ui.GiveFilesAhead(files);
        state.ResumeTiming();
        CartesianDifference(*record, services);
        if (record->TreatmentCount != Treatments || record->BootstrapNumber(1) != B) {
            state.SkipWithError("the treatments were not all read");
            break;
        }
        state.PauseTiming();
        record.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = bytes / 1e6;
}

void FiveTreatmentFiles(benchmark::State& state) { ReadAndOrder(state, Made().Files); }
BENCHMARK(FiveTreatmentFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void OneLongTable(benchmark::State& state) { ReadAndOrder(state, {Made().Long}); }
BENCHMARK(OneLongTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void OneLongTableAsRWritesIt(benchmark::State& state) { ReadAndOrder(state, {Made().LongR}); }
BENCHMARK(OneLongTableAsRWritesIt)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void OneWideTable(benchmark::State& state) { ReadAndOrder(state, {Made().Wide}); }
BENCHMARK(OneWideTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
