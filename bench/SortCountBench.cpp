// vortel sortcount on a bootstrap file of 4,000,000 values: read, sort and the three files,
// as a user runs it (the program's start-up included).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

// The folder and its bootstrap file, made once and removed when the program ends.
struct BootstrapFile {
    fs::path Folder;
    fs::path File;
    BootstrapFile() {
        Folder = fs::temp_directory_path() / ("vortel-bench-sortcount-" + std::to_string(getpid()));
        fs::create_directories(Folder);
        File = Folder / "boot.txt";
        std::ofstream out(File, std::ios::binary);
        out << "Cotesia,Boot,25,x,4000000,r,25,0.215\r\n";
        // Six decimals as bootstrap programs print them: about 10^5 classes, well inside the
        // counts table.
        std::mt19937 engine(20230401);
        std::normal_distribution<double> value(0.215, 0.012);
        char line[32];
        for (int k = 0; k < 4'000'000; ++k) {
            const int n = std::snprintf(line, sizeof line, "%.6f\r\n", value(engine));
            out.write(line, n);
        }
    }
    ~BootstrapFile() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
};

void SortCountFourMillion(benchmark::State& state) {
    static const BootstrapFile input;
    const std::string command = std::string("'") + VORTEL_BINARY + "' sortcount --kind boot '" +
                                input.File.string() + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("vortel sortcount failed");
            break;
        }
    }
    state.counters["values"] = 4'000'000;
}
BENCHMARK(SortCountFourMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
