// A test split between instances: each computes its share of the pairs past the value lists, one
// finishes with every share given, and every file it writes (report, tables, the differences
// figure's data) is byte for byte what one run computing every pair writes.
#include <gtest/gtest.h>

#include <random>

#include "cartesian/ExactPairShare.h"
#include "report/DifferencesSvg.h"
#include "shell/base/Clock.h"
#include "shell/base/RunStopped.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

// B = 2001 is the smallest B whose pair with itself is past the lists (4,004,001 differences).
TreatmentSamples Normal(const std::string& name, int b, double mean, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::normal_distribution<double> normal(mean, 0.01);
    TreatmentSamples t{name, 30, mean, {}, "r"};
    for (int k = 0; k < b; ++k) t.Values.push_back(normal(engine));
    return t;
}

struct Written {
    std::vector<std::string> names;
    std::vector<std::string> bytes;
    std::string figure;
};

Written Files(const test::TempFolder& folder, const CartesianOutput& output) {
    Written w{folder.Files(), {}, DifferencesFigureSvg(output.Differences)};
    for (const std::string& f : w.names) w.bytes.push_back(test::ReadAll(folder / f));
    return w;
}

TEST(ExactPairShare, SharesFinishedByOneInstanceWriteTheOneRunsFiles) {
    struct Case {
        const char* label;
        std::vector<TreatmentSamples> treatments;
        std::size_t exactPairs;
    };
    const Case cases[] = {
        {"three of B = 2001, every pair past the lists",
         {Normal("A", 2001, 0.23, 1), Normal("B", 2001, 0.229, 2), Normal("C", 2001, 0.2, 3)},
         3},
        {"four, three pairs past the lists and three within (the sort between them)",
         {Normal("A", 2001, 0.23, 4), Normal("B", 500, 0.21, 5), Normal("C", 2002, 0.229, 6),
          Normal("D", 2003, 0.2, 7)},
         3},
    };
    FixedClock clock(1709802303);
    for (const Case& c : cases) {
        CartesianRequest request;
        request.Treatments = c.treatments;
        request.CsvTables = true;
        test::TempFolder alone;
        CartesianOutput one{alone.Path()};
        one.WantDifferences = true;
        RunCartesianTest(request, {nullptr, nullptr, &clock, &one});
        const Written expected = Files(alone, one);
        ASSERT_EQ(expected.names.size(), 3u);

        for (int shares = 1; shares <= 3; ++shares) {
            SCOPED_TRACE(std::string(c.label) + ", " + std::to_string(shares) + " shares");
            // The finishing instance computes its own share too, as the page's first worker does.
            test::TempFolder split;
            CartesianOutput output{split.Path()};
            output.WantDifferences = true;
            SplitTest finishing(request, {nullptr, nullptr, &clock, &output});
            std::vector<ExactPairOutcome> given;
            for (int k = 0; k < shares; ++k) {
                ExactPairShare share{k, shares, true};
                if (k == 0) {
                    finishing.ComputeShare(share, {});
                } else {
                    // An instance that only computes writes nothing.
                    CartesianRequest computing = request;
                    computing.CsvTables = false;
                    SplitTest other(computing, {});
                    other.ComputeShare(share, {});
                }
                given.insert(given.end(), share.Computed.begin(), share.Computed.end());
            }
            EXPECT_EQ(given.size(), c.exactPairs);
            finishing.Finish(given, {nullptr, nullptr, &clock, &output});
            const Written got = Files(split, output);
            EXPECT_EQ(got.names, expected.names);
            EXPECT_EQ(got.bytes, expected.bytes);
            EXPECT_EQ(got.figure, expected.figure);
        }
    }
}

// A pair given that the test does not have past the lists is refused, not taken.
TEST(ExactPairShare, APairGivenThatIsNotPastTheListsIsRefused) {
    CartesianRequest request;
    request.Treatments = {Normal("A", 100, 0.2, 1), Normal("B", 100, 0.3, 2)};
    SplitTest test(request, {});
    ExactPairOutcome bogus;
    bogus.I = 1;
    bogus.J = 2;
    EXPECT_THROW(test.Finish({bogus}, {}), RunStopped);
}

}  // namespace
}  // namespace vortel
