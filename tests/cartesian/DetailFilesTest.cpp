#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CartesianFixture.h"
#include "cartesian/DetailFiles.h"
#include "cartesian/PairComparisons.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"

namespace vortel {
namespace {

using test::CrLf;
using test::ReadAll;
using test::TestRun;

std::string Detail(const TestRun& r, int fileNumber, std::int16_t i = 1, std::int16_t j = 2) {
    return ReadAll(r.folder / PairDetailFiles::FileName(r.state, r.state, fileNumber, i, j));
}

void RunWithDetails(TestRun& r, const std::vector<test::Treatment>& treatments) {
    test::LoadTreatments(r.state, treatments);
    r.state.DetailedDifferences = true;
    r.ui.Type("1");
    CartesianDifference2(r.state, r.services);
}

// Two treatments A and B, B = 2 each: every difference 2, 1, 3, 2 lies inside (0, 2D = 4).
TEST(DetailFiles, AllSignificantPair) {
    TestRun r;
    RunWithDetails(r, {{"A", {3, 4}, 10, 3.5}, {"B", {1, 2}, 12, 1.5}});
    EXPECT_EQ(PairDetailFiles::FileName(r.state, r.state, 5, 1, 2),
              "25A-Cartesian diff_5-r-1 to 2_diff-All (for N. sort).txt");
    EXPECT_EQ(Detail(r, 5),
              CrLf({"\"A vs B\"",
                    "\"Next lines are the bootstrap number B, treament code, and Cartesian C\"",
                    "2", "\"r vs r\"", "4", "\"Original means\",3.5,1.5",
                    "\"Cart. number\",\"Cart. Difference\"", "1,2", "2,1", "3,3", "4,2"}));
    EXPECT_EQ(
        Detail(r, 6),
        CrLf({"\"A vs B\"", "\"Next line is effective bootstrap number (B)\"", "2", "\"rr\"", "4",
              "4", "4", "\"Treatment sample sizes are 10 and 12\"", "\"Original means\",3.5,1.5",
              "\"Cart. number\",\"Difference to original difference\"", "1,0", "2,-1", "3,1",
              "4,0"}));
    const std::vector<std::string> sigHeader = {"\"A vs B\"",
                                                "\"Next line is effective bootstrap number (B)\"",
                                                "\"2 (actual number of sign. can be less)\"",
                                                "\"r vs r\"",
                                                "\"4 (actual number of sign. diff. can be less)\"",
                                                "4",
                                                "\"Treatment sample sizes are 10 and 12\"",
                                                "\"Original means\",3.5,1.5"};
    auto with = [](std::vector<std::string> lines, std::vector<std::string> more) {
        lines.insert(lines.end(), more.begin(), more.end());
        return CrLf(lines);
    };
    EXPECT_EQ(Detail(r, 7), with(sigHeader, {"\"Serial no. of sig. diff.\",\"Sig. difference\"",
                                             "1,2", "2,1", "3,3", "4,2"}));
    EXPECT_EQ(Detail(r, 9), with(sigHeader, {"\"Cart. prod. number\",\"Sig. difference\"", "1,2",
                                             "2,1", "3,3", "4,2"}));
    // No insignificant difference: the nine header records alone.
    const std::vector<std::string> insigHeader = {
        "\"A vs B\"",
        "\"Next line is effective bootstrap number (B)\"",
        "\"2 (actual number of insign. diff. can be less)\"",
        "\"r vs r\"",
        "\"4 (actual number of insign. diff. can be less)\"",
        "4",
        "\"Treatment sample sizes are 10 and 12\"",
        "\"Original means\",3.5,1.5"};
    EXPECT_EQ(Detail(r, 10),
              with(insigHeader, {"\"Serial no. of insig. diff.\",\"Insig. difference\""}));
    EXPECT_EQ(Detail(r, 11), with(insigHeader, {"\"Cart. prod. number\",\"Insig. difference\""}));
}

// With B = 3 against B = 2, the first treatment's B, its square and C are three numbers.
TEST(DetailFiles, HeadersTellTheFirstBItsSquareAndCApart) {
    TestRun r;
    RunWithDetails(r, {{"A", {5, 6, 7}}, {"B", {1, 2}}});
    auto line = [&](int fileNumber, std::size_t number) {
        std::string text = Detail(r, fileNumber);
        std::size_t start = 0;
        for (std::size_t n = 1; n < number; ++n) start = text.find("\r\n", start) + 2;
        return text.substr(start, text.find("\r\n", start) - start);
    };
    EXPECT_EQ(line(5, 3), "3");
    EXPECT_EQ(line(5, 5), "6");
    EXPECT_EQ(line(6, 3), "3");
    EXPECT_EQ(line(6, 5), "9");
    EXPECT_EQ(line(6, 6), "6");
    EXPECT_EQ(line(6, 7), "6");
    EXPECT_EQ(line(7, 3), "\"3 (actual number of sign. can be less)\"");
    EXPECT_EQ(line(7, 5), "\"9 (actual number of sign. diff. can be less)\"");
    EXPECT_EQ(line(10, 6), "6");
}

// Differences 1, -1, 5, 3 against (0, 4): each class numbered among itself, serials kept.
TEST(DetailFiles, ClassFilesNumberTheirOwnDifferences) {
    TestRun r;
    RunWithDetails(r, {{"A", {1, 5}}, {"B", {0, 2}}});
    auto data = [](const std::string& file) {
        const std::size_t head = file.find("difference\"\r\n");
        return file.substr(head + 13);
    };
    EXPECT_EQ(data(Detail(r, 7)), CrLf({"1,1", "2,3"}));
    EXPECT_EQ(data(Detail(r, 9)), CrLf({"1,1", "4,3"}));
    EXPECT_EQ(data(Detail(r, 10)), CrLf({"1,-1", "2,5"}));
    EXPECT_EQ(data(Detail(r, 11)), CrLf({"2,-1", "3,5"}));
}

// Taken as the larger mean minus the smaller: with the smaller first, the serials still run
// over the first treatment's values outside and the second's inside.
TEST(DetailFiles, SmallerMeanFirstKeepsTheSerialOrder) {
    TestRun r;
    RunWithDetails(r, {{"A", {1, 2}}, {"B", {3, 4}}});
    const std::string all = Detail(r, 5);
    EXPECT_EQ(all.substr(all.find("Difference\"\r\n") + 13), CrLf({"1,2", "2,3", "3,1", "4,2"}));
}

// A test that stops part-way leaves no new detail file, and an earlier file of the same name
// from an earlier test stays as it was.
TEST(DetailFiles, StoppedTestLeavesEarlierFilesIntact) {
    TestRun r;
    test::LoadTreatments(r.state, {{"A", {5, 6}}, {"B", {3, 4}}, {"C", {1, 2}}});
    const std::string first = PairDetailFiles::FileName(r.state, r.state, 5, 1, 2);
    r.folder.Write(first, "earlier");
    // The second pair's file cannot be created: a folder has its name.
    std::filesystem::create_directory(r.folder /
                                      PairDetailFiles::FileName(r.state, r.state, 5, 1, 3));
    r.state.DetailedDifferences = true;
    EXPECT_THROW(CartesianDifference2(r.state, r.services), RunStopped);
    EXPECT_EQ(ReadAll(r.folder / first), "earlier");
    EXPECT_EQ(r.folder.Files(), (std::vector<std::string>{
                                    first, PairDetailFiles::FileName(r.state, r.state, 5, 1, 3)}));
}

// The report and the detail files are one set: when the report cannot be written, no detail
// file appears either. A parameter name with folder separators names files in the folder all the
// same, in the report's name and the detail files' alike.
TEST(DetailFiles, AppearOnlyWithTheReportAndStayInTheFolder) {
    TestRun r;
    test::LoadTreatments(r.state, {{"A", {3, 4}}, {"B", {1, 2}}});
    r.state.ParameterName(1) = r.state.ParameterName(2) = r.state.CurrentParameterName = "../r\\x";
    r.state.DetailedDifferences = true;
    r.ui.Type("1");
    const std::string report = "25A-Cartesian diff results-.._r_x_202437-953.txt";
    std::filesystem::create_directory(r.folder / report);
    r.folder.Write(report + "/inside", "");
    EXPECT_THROW(CartesianDifference2(r.state, r.services), RunStopped);
    EXPECT_EQ(r.folder.Files(), std::vector<std::string>{report});

    std::filesystem::remove_all(r.folder / report);
    r.ui.Type("1");
    CartesianDifference2(r.state, r.services);
    const std::string detail = PairDetailFiles::FileName(r.state, r.state, 5, 1, 2);
    EXPECT_EQ(detail, "25A-Cartesian diff_5-.._r_x-1 to 2_diff-All (for N. sort).txt");
    const auto files = r.folder.Files();
    EXPECT_EQ(files.size(), 7u);
    EXPECT_TRUE(std::find(files.begin(), files.end(), report) != files.end());
}

}  // namespace
}  // namespace vortel
