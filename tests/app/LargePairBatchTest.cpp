// vortel cartesian with pairs past the value lists: counts past 32 bits in the report, and
// detail files refused before anything is written.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using test::ReadAll;
using test::RunVortel;
using test::TempFolder;

// A treatment file of `b` values about `mean`.
std::string WriteTreatment(const TempFolder& folder, const std::string& name, int b, double mean,
                           std::uint64_t seed) {
    std::mt19937_64 engine(seed);
    std::normal_distribution<double> normal(mean, 0.005);
    std::string text = name + "\r\nBootstrap results\r\n40\r\nLife table\r\n" + std::to_string(b) +
                       "\r\nr\r\n40\r\n" + std::to_string(mean) + "\r\n";
    for (int k = 0; k < b; ++k) text += std::to_string(normal(engine)) + "\r\n";
    return folder.Write(name + ".txt", text).string();
}

// The number after `label` in the report.
std::int64_t NumberAfter(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    if (at == std::string::npos) return -1;
    return std::stoll(text.substr(at + label.size()));
}

TEST(LargePairBatch, CountsPastThirtyTwoBitsReachTheReport) {
    TempFolder folder;
    const auto first = WriteTreatment(folder, "Tomato", 50'000, 0.230, 1);
    const auto second = WriteTreatment(folder, "Pepper", 50'000, 0.215, 2);
    const ProgramResult o = RunVortel({"cartesian", first, second});
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string report = ReadAll(o.out.substr(0, o.out.size() - 1));
    EXPECT_NE(report.find("Number of Cartesian products (C)= 2500000000 "), std::string::npos);
    EXPECT_NE(report.find("(based on 2500000000  Cartesian differences)"), std::string::npos);
    const std::int64_t insignificant = NumberAfter(report, "# Number of insignif. diff. = ");
    const std::int64_t significant = NumberAfter(report, "# Number of signif. diff. = ");
    EXPECT_EQ(insignificant + significant, 2'500'000'000);
    EXPECT_GT(significant, std::int64_t{1} << 31);
}

TEST(LargePairBatch, DetailFilesPastTheListsRefuseTheRunBeforeAnythingIsWritten) {
    TempFolder folder;
    const auto first = WriteTreatment(folder, "Tomato", 2001, 0.230, 3);
    const auto second = WriteTreatment(folder, "Pepper", 2000, 0.226, 4);
    const auto before = folder.Files();
    const ProgramResult o =
        RunVortel({"cartesian", "--detail-differences", "--flow-record", first, second});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
    for (const char* part :
         {"vortel cartesian: ", "treatment 1 (\"Tomato\")", "treatment 2 (\"Pepper\")",
          "4002000 Cartesian differences", "about 0.4 GB"})
        EXPECT_NE(o.err.find(part), std::string::npos) << o.err;
    EXPECT_EQ(folder.Files(), before);
}

}  // namespace
}  // namespace vortel
