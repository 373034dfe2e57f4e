// The Cartesian paired test as a user runs it: the five example treatments (10 pairs of
// 4,000,000 differences) through vortel cartesian, twenty made-up treatments (190 pairs), one
// 2000 x 2000 pair with its detail files, the pair arithmetic alone, and five treatments of
// B = 100,000 and 1,000,000 whose pairs all lie past the value lists.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cartesian/PairComparisons.h"

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
long RunVortel(const std::vector<std::string>& args, double* cpuSeconds = nullptr) {
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
    if (cpuSeconds)
        *cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return usage.ru_maxrss;
}

// Times vortel cartesian on the files, clearing the outputs between runs untimed, and counts
// the peak memory of the runs.
template <class Clear>
void TimeCartesian(benchmark::State& state, const std::vector<std::string>& files, Clear clear) {
    std::vector<std::string> args{"cartesian"};
    args.insert(args.end(), files.begin(), files.end());
    long peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        double seconds = 0;
        const long rss = RunVortel(args, &seconds);
        if (rss < 0) {
            state.SkipWithError("vortel cartesian failed");
            break;
        }
        peak = std::max(peak, rss);
        cpu += seconds;
        state.PauseTiming();
        clear();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
    // The program's own processor time, which a busy machine stretches less than the clock.
    state.counters["vortel_cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void CartesianFiveExamples(benchmark::State& state) {
    const ExampleFolder& examples = Examples();
    TimeCartesian(state, examples.Files, [&] { examples.ClearOutputs(); });
    state.counters["differences"] = 10 * 4'000'000.0;
}
BENCHMARK(CartesianFiveExamples)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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

namespace {

// `count` treatments of B values each, written at run time into a folder of their own: normal
// values printed to 17 digits (about 18 bytes a value, 90 MB for five at B = 1,000,000), or
// tie-heavy fiftieths (k / 50). Neighbouring means lie 0.004 apart, less than the spread.
struct LargeTreatments {
    fs::path Folder;
    std::vector<std::string> Files;
    LargeTreatments(int b, bool ties, int count = 5) {
        Folder = fs::temp_directory_path() /
                 ("vortel-bench-large-" + std::to_string(getpid()) + "-" + std::to_string(count) +
                  "x" + std::to_string(b) + (ties ? "-ties" : ""));
        fs::create_directories(Folder);
        std::mt19937_64 engine(20240307);
        for (int t = 1; t <= count; ++t) {
            const double mean = 0.23 - 0.004 * t;
            std::normal_distribution<double> normal(ties ? mean * 200 : mean, ties ? 3 : 0.005);
            std::string text = "T" + std::to_string(t) + "\r\nBootstrap results\r\n48\r\n" +
                               "Life table\r\n" + std::to_string(b) + "\r\nr\r\n48\r\n0.23\r\n";
            char buffer[40];
            for (int k = 0; k < b; ++k) {
                const double v = ties ? std::round(normal(engine)) / 50 : normal(engine);
                text.append(buffer, static_cast<std::size_t>(
                                        std::snprintf(buffer, sizeof buffer, "%.17g\r\n", v)));
            }
            const fs::path path = Folder / ("treatment-" + std::to_string(t) + ".txt");
            std::ofstream(path, std::ios::binary) << text;
            Files.push_back(path.string());
        }
    }
    ~LargeTreatments() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
    void ClearOutputs() const {
        for (const auto& entry : fs::directory_iterator(Folder))
            if (entry.path().filename().string().rfind("treatment-", 0) != 0)
                fs::remove(entry.path());
    }
};

// Ten pairs past the value lists, each by the exact path, from reading the files to the report.
void CartesianFiveLargeTreatments(benchmark::State& state) {
    const LargeTreatments treatments(static_cast<int>(state.range(0)), state.range(1) != 0);
    TimeCartesian(state, treatments.Files, [&] { treatments.ClearOutputs(); });
    state.counters["differences"] = 10.0 * static_cast<double>(state.range(0) * state.range(0));
}
BENCHMARK(CartesianFiveLargeTreatments)
    ->ArgNames({"B", "ties"})
    ->Args({100'000, 0})
    ->Args({100'000, 1})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// 190 pairs: of 4,000,000 differences each at B = 2000, by the exact path at B = 100,000.
void CartesianTwentyTreatments(benchmark::State& state) {
    const LargeTreatments treatments(static_cast<int>(state.range(0)), false, 20);
    TimeCartesian(state, treatments.Files, [&] { treatments.ClearOutputs(); });
    state.counters["pairs"] = 190;
}
BENCHMARK(CartesianTwentyTreatments)
    ->ArgName("B")
    ->Arg(2000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
