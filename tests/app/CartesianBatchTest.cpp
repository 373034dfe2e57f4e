// The batch command line of the Cartesian paired test, run as its own program.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
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

// Copies the named fixtures into the folder; returns their paths there.
std::vector<std::string> Fixtures(const TempFolder& folder, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const auto& n : names) {
        fs::copy_file(test::DataFile("cartesian/" + n), folder / n);
        paths.push_back((folder / n).string());
    }
    return paths;
}

std::size_t CountFiles(const TempFolder& folder, const std::string& part) {
    std::size_t n = 0;
    for (const auto& name : folder.Files()) n += name.find(part) != std::string::npos;
    return n;
}

TEST(CartesianBatch, WritesReportDetailsAndFlowBesideTheLastFile) {
    TempFolder folder;
    const auto files = Fixtures(folder, {"tomato-r.txt", "pepper-r.txt"});
    // An earlier record is replaced, and the second name it was kept by goes with the success.
    folder.Write("_0_Flow.txt", "earlier");
    const ProgramResult o = RunVortel(
        {"cartesian", "--detail-differences", "--flow-record", "--code", "X1", files[1], files[0]});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    ASSERT_FALSE(o.out.empty());
    ASSERT_EQ(o.out.back(), '\n');
    const fs::path report = o.out.substr(0, o.out.size() - 1);
    EXPECT_TRUE(report.is_absolute()) << report;
    EXPECT_EQ(report.parent_path(), fs::canonical(folder.Path()));
    EXPECT_EQ(report.filename().string().rfind("25A-Cartesian diff results-r_X1 ", 0), 0u);
    const std::string text = ReadAll(report);
    EXPECT_NE(text.find("Comparison between Tomato vs Pepper"), std::string::npos);

    EXPECT_EQ(CountFiles(folder, "1 to 2_diff"), 6u);
    const std::string all =
        ReadAll(folder / "25A-Cartesian diff_5-r-1 to 2_diff-All (for N. sort).txt");
    EXPECT_EQ(all.rfind(test::CrLf({"\"Tomato vs Pepper\""}), 0), 0u);
    EXPECT_NE(all.find("\r\n16,"), std::string::npos);  // C = 4 x 4
    EXPECT_EQ(ReadAll(folder / "_0_Flow.txt").rfind(test::CrLf({"Sub CartesianDifference2"}), 0),
              0u);
    EXPECT_EQ(CountFiles(folder, ".keep") + CountFiles(folder, ".part"), 0u);
}

// The second difference of the pair (Tomato first: 0.251 - 0.191; reversed, Pepper first and
// taken as Tomato minus Pepper: 0.262 - 0.187), after each transformation.
TEST(CartesianBatch, OptionsReachTheTest) {
    const auto arcsine = [](double x) { return std::asin(std::sqrt(x)); };
    const auto logit = [](double x) { return std::log(x / (1 - x)); };
    struct Case {
        std::vector<std::string> options;
        const char* names;
        double second;
    };
    const Case cases[] = {
        {{}, "Tomato vs Pepper", 0.251 - 0.191},
        {{"--transform", "none"}, "Tomato vs Pepper", 0.251 - 0.191},
        {{"--transform", "arcsine"}, "Tomato vs Pepper", arcsine(0.251) - arcsine(0.191)},
        {{"--transform", "logit"}, "Tomato vs Pepper", logit(0.251) - logit(0.191)},
        {{"--reversed"}, "Pepper vs Tomato", 0.262 - 0.187},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto f = Fixtures(folder, {"pepper-r.txt", "tomato-r.txt"});
        std::vector<std::string> args{"cartesian", "--detail-differences"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), f.begin(), f.end());
        const ProgramResult o = RunVortel(args);
        ASSERT_EQ(o.status, 0) << o.err;
        const std::string all =
            ReadAll(folder / "25A-Cartesian diff_5-r-1 to 2_diff-All (for N. sort).txt");
        EXPECT_EQ(all.rfind("\"" + std::string(c.names) + "\"\r\n", 0), 0u) << c.names;
        const std::size_t at = all.find("\r\n2,");
        ASSERT_NE(at, std::string::npos);
        EXPECT_NEAR(std::stod(all.substr(at + 4)), c.second, 1e-12) << c.names;
    }
}

TEST(CartesianBatch, UsageErrorsWriteNothing) {
    TempFolder folder;
    const auto f = Fixtures(folder, {"tomato-r.txt", "pepper-r.txt"});
    std::vector<std::string> twentyOne{"cartesian"};
    for (int k = 0; k < 21; ++k) twentyOne.push_back(f[static_cast<std::size_t>(k % 2)]);
    const std::vector<std::vector<std::string>> cases = {
        {"cartesian"},
        {"cartesian", f[0]},
        twentyOne,
        {"cartesian", "--transform", "square", f[0], f[1]},
        {"cartesian", "--sideways", f[0], f[1]},
        {"cartesian", f[0], f[1], "--code"},
        {"cartesian", "--code", "a/b", "--flow-record", f[0], f[1]},
    };
    for (const auto& args : cases) {
        const ProgramResult o = RunVortel(args);
        EXPECT_EQ(o.status, 2) << args.size();
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err.rfind("vortel cartesian: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find("see vortel --help"), std::string::npos) << o.err;
    }
    EXPECT_NE(RunVortel(twentyOne).err.find("two to 20 treatment FILEs are needed, 21 given"),
              std::string::npos);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"pepper-r.txt", "tomato-r.txt"}));
}

// Refused input: one line on standard error, no new file, an earlier flow record kept.
TEST(CartesianBatch, RefusedInputLeavesTheFolderAsItWas) {
    for (const char* second : {"cut-short-r.txt", "missing-r.txt"}) {
        TempFolder folder;
        const auto f = Fixtures(folder, {"tomato-r.txt", "cut-short-r.txt"});
        folder.Write("_0_Flow.txt", "earlier");
        const ProgramResult o = RunVortel({"cartesian", "--flow-record", "--detail-differences",
                                           f[0], (folder / second).string()});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err.rfind("vortel cartesian: ", 0), 0u);
        EXPECT_NE(o.err.find(second), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
        EXPECT_EQ(folder.Files(),
                  (std::vector<std::string>{"_0_Flow.txt", "cut-short-r.txt", "tomato-r.txt"}));
        EXPECT_EQ(ReadAll(folder / "_0_Flow.txt"), "earlier");
    }
}

// A report whose name is taken goes to the next free name, "(2)", "(3)", with its tables; the
// earlier reports stay byte for byte and the lines printed name the new files.
TEST(CartesianBatch, ATakenReportNameGoesToTheNextFreeOne) {
    TempFolder folder;
    const auto f = Fixtures(folder, {"tomato-r.txt", "pepper-r.txt"});
    const std::vector<std::string> args = {"cartesian", "--csv", "--code", "Z", f[0], f[1]};
    const auto run = [&] {
        const ProgramResult o = RunVortel(args);
        EXPECT_EQ(o.status, 0) << o.err;
        std::vector<fs::path> printed;
        for (std::size_t at = 0, end; (end = o.out.find('\n', at)) != std::string::npos;
             at = end + 1)
            printed.emplace_back(o.out.substr(at, end - at));
        EXPECT_EQ(printed.size(), 3u) << o.out;
        printed.resize(3);
        return printed;
    };
    const fs::path first = run()[0];
    const std::string firstBytes = ReadAll(first);
    // The code's random part is one of 0 to 1000: with every such name taken, each later run
    // finds its name taken whatever it draws.
    const auto named = [&](int k) {
        return folder / ("25A-Cartesian diff results-r_Z " + std::to_string(k) + ".txt");
    };
    for (int k = 0; k <= 1000; ++k)
        if (named(k) != first) folder.Write(named(k).filename().string(), std::to_string(k));

    std::vector<fs::path> reports{first};
    std::vector<std::string> bytes{firstBytes};
    for (int run2 = 0; run2 < 2; ++run2) {
        const std::vector<fs::path> printed = run();
        const std::string stem = printed[0].stem().string();
        // "(3)" only where the third run drew the number the second did.
        EXPECT_TRUE(stem.ends_with(" (2)") || (run2 == 1 && stem.ends_with(" (3)"))) << stem;
        EXPECT_EQ(printed[0].parent_path(), fs::canonical(folder.Path()));
        EXPECT_EQ(printed[1].filename(), stem + " pairs.csv");
        EXPECT_EQ(printed[2].filename(), stem + " treatments.csv");
        for (const auto& p : printed) EXPECT_TRUE(fs::is_regular_file(p)) << p;
        EXPECT_NE(ReadAll(printed[0]).find("Comparison between Tomato vs Pepper"),
                  std::string::npos);
        reports.push_back(printed[0]);
        bytes.push_back(ReadAll(printed[0]));
    }
    EXPECT_NE(reports[1], reports[2]);
    for (std::size_t k = 0; k < reports.size(); ++k) EXPECT_EQ(ReadAll(reports[k]), bytes[k]);
    for (int k = 0; k <= 1000; ++k) {
        if (named(k) != first) {
            EXPECT_EQ(ReadAll(named(k)), std::to_string(k));
        }
    }
    EXPECT_EQ(CountFiles(folder, ".part"), 0u);
    EXPECT_EQ(CountFiles(folder, ".keep"), 0u);
}

TEST(CartesianBatch, HelpDocumentsTheCommand) {
    const ProgramResult o = RunVortel({"--help"});
    EXPECT_EQ(o.status, 0);
    for (const char* part :
         {"vortel cartesian", "--transform none|arcsine|logit", "--reversed",
          "--detail-differences", "--flow-record", "--code CODE", "two to 20 treatments", "FILE20",
          "compact\n      letter display", "insertion and absorption"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace vortel
