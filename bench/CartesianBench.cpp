// The Cartesian paired test as a user runs it: the five example treatments (10 pairs of
// 4,000,000 differences) through vortel cartesian, twenty made-up treatments (190 pairs), one
// 2000 x 2000 pair with its detail files, and the pair arithmetic alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cartesian/CartesianDifference2.h"

namespace {

namespace fs = std::filesystem;

// A folder holding copies of the example treatments, emptied of outputs between runs.
struct ExampleFolder {
    fs::path Folder;
    std::vector<std::string> Files;
    ExampleFolder() {
        Folder = fs::temp_directory_path() / ("vortel-bench-cartesian-" + std::to_string(getpid()));
        fs::create_directories(Folder);
        for (int t = 1; t <= 5; ++t) {
            const std::string name = "treatment-" + std::to_string(t) + ".txt";
            fs::copy_file(fs::path(VORTEL_EXAMPLES) / name, Folder / name,
                          fs::copy_options::overwrite_existing);
            Files.push_back((Folder / name).string());
        }
    }
    ~ExampleFolder() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
    // Removes every output and returns the bytes they held.
    std::uintmax_t ClearOutputs() const {
        std::uintmax_t bytes = 0;
        for (const auto& entry : fs::directory_iterator(Folder)) {
            if (entry.path().filename().string().rfind("treatment-", 0) == 0) continue;
            bytes += entry.file_size();
            fs::remove(entry.path());
        }
        return bytes;
    }
};

const ExampleFolder& Examples() {
    static const ExampleFolder folder;
    return folder;
}

// Runs vortel with its output discarded; returns the child's peak resident memory in KiB, or -1
// when it did not exit with 0.
long RunVortel(const std::vector<std::string>& args) {
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        std::string program = VORTEL_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stdout)) _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

// vortel cartesian on the files, timed once per iteration; the folder's outputs are cleared
// between runs, untimed.
template <class Folder>
void TimeCartesian(benchmark::State& state, const Folder& folder) {
    std::vector<std::string> args{"cartesian"};
    args.insert(args.end(), folder.Files.begin(), folder.Files.end());
    long peak = 0;
    for (auto _ : state) {
        const long rss = RunVortel(args);
        if (rss < 0) {
            state.SkipWithError("vortel cartesian failed");
            break;
        }
        peak = std::max(peak, rss);
        state.PauseTiming();
        folder.ClearOutputs();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
}

void CartesianFiveExamples(benchmark::State& state) {
    TimeCartesian(state, Examples());
    state.counters["differences"] = 10 * 4'000'000.0;
}
BENCHMARK(CartesianFiveExamples)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Twenty treatments of B values each, their means close enough for neighbours to overlap, in
// a folder of their own.
struct TwentyTreatments {
    fs::path Folder;
    std::vector<std::string> Files;
    explicit TwentyTreatments(int b) {
        Folder = fs::temp_directory_path() /
                 ("vortel-bench-twenty-" + std::to_string(b) + "-" + std::to_string(getpid()));
        fs::create_directories(Folder);
        std::mt19937 engine(20040101u + static_cast<unsigned>(b));
        std::normal_distribution<double> z(0, 1);
        for (int t = 1; t <= 20; ++t) {
            const fs::path path = Folder / ("t" + std::to_string(t) + ".txt");
            std::ofstream out(path, std::ios::binary);
            out << "Plant " << t << "\r\nBootstrap results\r\n40\r\nLife table\r\n"
                << b << "\r\nr\r\n40\r\n0.2\r\n";
            const double mean = 0.17 + 0.003 * t;
            char line[32];
            for (int k = 0; k < b; ++k) {
                std::snprintf(line, sizeof line, "%.6f\r\n", mean + 0.005 * z(engine));
                out << line;
            }
            Files.push_back(path.string());
        }
    }
    ~TwentyTreatments() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
    void ClearOutputs() const {
        for (const auto& entry : fs::directory_iterator(Folder))
            if (entry.path().extension() == ".txt" && entry.path().filename().string()[0] != 't')
                fs::remove(entry.path());
    }
};

// B = 2000 gives 190 pairs of 4,000,000 differences; B = 100,000 pairs of 10^10.
void CartesianTwentyTreatments(benchmark::State& state) {
    TimeCartesian(state, TwentyTreatments(static_cast<int>(state.range(0))));
    state.counters["pairs"] = 190;
}
BENCHMARK(CartesianTwentyTreatments)
    ->Arg(2000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void CartesianPairWithDetailFiles(benchmark::State& state) {
    const ExampleFolder& examples = Examples();
    const std::vector<std::string> args{"cartesian", "--detail-differences", examples.Files[0],
                                        examples.Files[1]};
    std::uintmax_t written = 0;
    for (auto _ : state) {
        if (RunVortel(args) < 0) {
            state.SkipWithError("vortel cartesian --detail-differences failed");
            break;
        }
        state.PauseTiming();
        written = examples.ClearOutputs();
        state.ResumeTiming();
    }
    state.counters["written_GB"] = static_cast<double>(written) / 1e9;
    state.counters["records"] = 4 * 4'000'000.0;
}
BENCHMARK(CartesianPairWithDetailFiles)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The pair's arithmetic alone: 4,000,000 differences classified and summed in serial order.
void TallyOnePair(benchmark::State& state) {
    std::mt19937 engine(20240307);
    std::normal_distribution<double> first(0.230, 0.005), second(0.226, 0.0056);
    std::vector<double> x(2000), y(2000);
    for (double& v : x) v = first(engine);
    for (double& v : y) v = second(engine);
    for (auto _ : state) {
        const vortel::PairTally t = vortel::TallyDifferences(x, y, false, 0.004);
        benchmark::DoNotOptimize(t);
    }
    state.counters["differences/s"] =
        benchmark::Counter(4'000'000.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(TallyOnePair)->Unit(benchmark::kMillisecond);

}  // namespace
