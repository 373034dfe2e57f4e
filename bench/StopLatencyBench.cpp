// How long a stop takes to end a running test: twenty treatments of B = 1,000,000 held in
// memory (190 pairs by the exact path, every worker busy), stopped at a given moment. The time
// is from the request to the moment RunCartesianTest has thrown, its workers joined; the
// counter "latency_ms" is the longest of the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "cartesian/CartesianTest.h"

namespace {

using Moment = std::chrono::steady_clock::time_point;

const vortel::CartesianRequest& TwentyLargeTreatments() {
    static const vortel::CartesianRequest request = [] {
        vortel::CartesianRequest r;
        std::mt19937_64 engine(20240307);
        for (int t = 1; t <= 20; ++t) {
            std::normal_distribution<double> normal(0.23 - 0.004 * t, 0.005);
            vortel::TreatmentSamples s;
            s.Name = "T" + std::to_string(t);
            s.SampleSize = 48;
            s.Original = 0.23;
            s.Parameter = "r";
            s.Values.resize(1'000'000);
            for (double& v : s.Values) v = normal(engine);
            r.Treatments.push_back(std::move(s));
        }
        return r;
    }();
    return request;
}

// Requests the stop from a thread of its own, `after` milliseconds into the pairs, as a Stop
// button or Ctrl+C does.
struct StopLater final : vortel::TestEvents {
    vortel::StopToken& token;
    std::chrono::milliseconds after;
    std::thread timer;
    Moment requested{};
    StopLater(vortel::StopToken& t, std::int64_t ms) : token(t), after(ms) {}
    ~StopLater() override {
        if (timer.joinable()) timer.join();
    }
    void Began(const std::string&, int) override {
        timer = std::thread([this] {
            std::this_thread::sleep_for(after);
            requested = std::chrono::steady_clock::now();
            token.Request();
        });
    }
};

void StopTwentyLargeTreatments(benchmark::State& state) {
    const vortel::CartesianRequest& request = TwentyLargeTreatments();
    double longest = 0, total = 0;
    int runs = 0;
    for (auto _ : state) {
        vortel::StopToken token;
        Moment ended{};
        {
            StopLater events(token, state.range(0));
            try {
                vortel::RunCartesianTest(request, {&events, &token});
                state.SkipWithError("the test ended before the stop");
                break;
            } catch (const vortel::CommandStopped&) {
                ended = std::chrono::steady_clock::now();
            }
            events.timer.join();
            const double ms =
                std::chrono::duration<double, std::milli>(ended - events.requested).count();
            longest = std::max(longest, ms);
            total += ms;
            ++runs;
        }
    }
    state.counters["latency_ms"] = longest;
    state.counters["mean_latency_ms"] = runs > 0 ? total / runs : 0;
}
// Stopped while the first samples are sorted, and later with the workers deep in the pairs.
BENCHMARK(StopTwentyLargeTreatments)
    ->ArgName("after_ms")
    ->Arg(10)
    ->Arg(137)
    ->Arg(1000)
    ->Arg(2500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
