// Hostile treatment files through the whole test as the batch command runs it (files named in the
// request, no dialogue): the test either gives a result of every pair with P-values in [0, 1], or
// stops with a message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "cartesian/CartesianTest.h"
#include "shell/base/RunStopped.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // First byte: transformation, reversed order, and whether the last file is read as a table;
    // the rest splits at NULs into two or three files.
    const int transformation = data[0] % 3;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> texts;
    for (std::size_t cut; texts.size() < 2 && (cut = rest.find('\0')) != std::string::npos;) {
        texts.push_back(rest.substr(0, cut));
        rest.erase(0, cut + 1);
    }
    texts.push_back(rest);
    if (texts.size() == 1) texts.push_back(texts.front());

    vortel::CartesianRequest request;
    request.Transform = static_cast<vortel::Transformation>(transformation);
    request.Reversed = (data[0] & 0x80) != 0;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const bool table = k + 1 == texts.size() && (data[0] & 0x40) != 0;
        const auto path =
            vortel::fuzz::ScratchFolder() / ("t" + std::to_string(k) + (table ? ".csv" : ".txt"));
        std::ofstream(path, std::ios::binary) << texts[k];
        request.Files.push_back(path.string());
    }
    try {
        const vortel::CartesianResult r = vortel::RunCartesianTest(request, {});
        const int n = r.TreatmentCount();
        if (n < 2 || r.Pairs.size() != static_cast<std::size_t>(n * (n - 1) / 2)) std::abort();
        for (const vortel::PairResult& p : r.Pairs)
            if (std::isfinite(p.P) && !(p.P >= 0 && p.P <= 1)) std::abort();
    } catch (const vortel::RunStopped&) {
    }
    return 0;
}
