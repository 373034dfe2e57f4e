// A front end in a page of code: a Cartesian paired test of the treatment files named on the
// command line, with progress, the pairs' P-values and the letters, and the report written
// beside the first file.
//   front_end examples/treatment-1.txt examples/treatment-2.txt ...
#include <cstdio>
#include <exception>

#include "cartesian/CartesianTest.h"
#include "shell/base/RunStopped.h"

struct Progress final : vortel::TestEvents {
    void PairDone(int i, int j, const vortel::DateTime&) override {
        std::printf("pair %d-%d done\n", i, j);
    }
};

int main(int argc, char** argv) {
    vortel::CartesianRequest request;
    for (int k = 1; k < argc; ++k) request.Files.emplace_back(argv[k]);
    request.CsvTables = true;
    Progress progress;
    vortel::StopToken stop;  // stop.Request() from any thread ends the test; nothing is written
    vortel::CartesianOutput output{argc > 1 ? std::filesystem::path(argv[1]).parent_path() : "."};
    try {
        const vortel::CartesianResult result =
            vortel::RunCartesianTest(request, {&progress, &stop, nullptr, &output});
        for (const vortel::PairResult& p : result.Pairs)
            std::printf("%s - %s: P = %g\n", result.Treatment(p.Minuend).Name.c_str(),
                        result.Treatment(p.Subtrahend).Name.c_str(), p.P);
        for (const vortel::TreatmentResult& t : result.Treatments)
            std::printf("%-12s %s\n", t.Name.c_str(), t.Letters.c_str());
        std::printf("report: %s\n", output.Report.string().c_str());
    } catch (const vortel::RunStopped& e) {  // a refusal (or a stop) names what is wrong
        std::fprintf(stderr, "front_end: %s\n", e.what());
        return 1;
    }
    return 0;
}
