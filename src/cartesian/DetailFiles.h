// The six files of one pair that list every Cartesian difference and its class.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "shell/base/OutputFile.h"

namespace vortel {

struct SessionFiles;
struct Treatments;

// The files are created in `set`, beside their final names, so they appear only when the whole
// test has succeeded. Records are buffered here and handed on in large pieces: a pair of two
// 2000-value treatments writes some 16 million of them.
class PairDetailFiles {
public:
    // Creates files 5, 7, 9, 10, 11, then 6, and writes their headers. `c` is the pair's count
    // of differences as a real, `meanDifference` the D that file 6 subtracts.
    // They go to `folder`.
    PairDetailFiles(OutputSet& set, const SessionFiles& files, const Treatments& state,
                    const std::filesystem::path& folder, std::int16_t i, std::int16_t j, double c,
                    double meanDifference);
    PairDetailFiles(const PairDetailFiles&) = delete;
    PairDetailFiles& operator=(const PairDetailFiles&) = delete;

    // The difference d with serial number k; significant when 0 < d < 2D.
    void Add(std::int64_t k, double d, bool significant);
    // Hands every buffered record to the files.
    void Finish();

    // The name of one of the pair's files, e.g. "25A-Cartesian diff_5-r-1 to 2_diff-All (for N.
    // sort).txt".
    static std::string FileName(const SessionFiles& files, const Treatments& treatments,
                                int fileNumber, std::int16_t i, std::int16_t j);

private:
    struct Sink {
        OutputFile* File = nullptr;
        std::string Buffer;
    };
    void Put(Sink& sink, std::string_view first, std::string_view second);
    void Drain(Sink& sink);

    Sink m_all, m_toMean, m_sigA, m_sigB, m_insigA, m_insigB;  // files 5, 6, 7, 9, 10, 11
    double m_meanDifference;
    std::int64_t m_significant = 0;
    std::int64_t m_insignificant = 0;
    std::string m_scratch;
};

}  // namespace vortel
