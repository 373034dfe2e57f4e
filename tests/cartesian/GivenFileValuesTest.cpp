// Treatment files whose values another instance of the core read (the browser page's workers
// each parse a share of a test's files) are read from those values exactly as from the files.
#include <gtest/gtest.h>

#include "cartesian/CartesianDifference.h"
#include "cartesian/CartesianTest.h"
#include "shell/base/Clock.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

std::string TreatmentText(const std::string& name, int b, const std::vector<std::string>& values) {
    std::string s =
        name + "\nBootstrap results\n30\nLife table\n" + std::to_string(b) + "\nr\n30\n0.25\n";
    for (const std::string& v : values) s += v + "\n";
    return s;
}

// Every file the test writes, in name order.
std::vector<std::string> Written(const std::vector<std::string>& files, Transformation transform) {
    FixedClock clock(1709802303);
    test::TempFolder out;
    CartesianRequest request;
    request.Files = files;
    request.Transform = transform;
    request.CsvTables = true;
    CartesianOutput output{out.Path()};
    RunCartesianTest(request, {nullptr, nullptr, &clock, &output});
    std::vector<std::string> bytes;
    for (const std::string& f : out.Files()) bytes.push_back(test::ReadAll(out / f));
    return bytes;
}

TEST(GivenFileValues, FilesReadFromGivenValuesWriteWhatTheFilesWrite) {
    struct Case {
        const char* label;
        int b;
        std::vector<std::string> values;  // of the first treatment; the others are shifted
    };
    const Case cases[] = {
        {"B values", 6, {"0.21", "0.22", "0.2", "0.25", "0.23", "0.24"}},
        {"closed early by the marker", 8, {"0.21", "0.22", "0.2", "0.25", "0.23", "-1"}},
        {"one value past B", 5, {"0.21", "0.22", "0.2", "0.25", "0.23", "0.3"}},
    };
    for (const Case& c : cases)
        for (const Transformation transform : {Transformation::None, Transformation::Arcsine}) {
            SCOPED_TRACE(std::string(c.label) +
                         (transform == Transformation::None ? "" : ", arcsine"));
            test::TempFolder in;
            std::vector<std::string> files;
            for (int t = 0; t < 3; ++t) {
                std::vector<std::string> values = c.values;
                for (std::string& v : values)
                    if (v != "-1") v += std::to_string(t);  // 0.21 -> 0.210, 0.211, 0.212
                files.push_back(in.Write("T" + std::to_string(t) + ".txt",
                                         TreatmentText("T" + std::to_string(t), c.b, values))
                                    .string());
            }
            const std::vector<std::string> expected = Written(files, transform);
            ASSERT_EQ(expected.size(), 3u);
            for (const std::string& f : files)
                GiveFileValues(f, ReadFileValues(f, static_cast<int>(transform), nullptr));
            // Other values in the files now (the marker where it was): the given ones are those
            // taken.
            std::vector<std::string> other = c.values;
            for (std::string& v : other)
                if (v != "-1") v = "0.5";
            for (const std::string& f : files) {
                const std::filesystem::path p(f);
                in.Write(p.filename().string(), TreatmentText(p.stem().string(), c.b, other));
            }
            EXPECT_EQ(Written(files, transform), expected);
            ForgetGivenFileValues();
            EXPECT_NE(Written(files, transform), expected);
        }
}

// Values given under another transformation are not taken.
TEST(GivenFileValues, ValuesOfAnotherTransformationAreNotTaken) {
    test::TempFolder in;
    const std::vector<std::string> files = {
        in.Write("A.txt", TreatmentText("A", 3, {"0.2", "0.3", "0.25"})).string(),
        in.Write("B.txt", TreatmentText("B", 3, {"0.4", "0.5", "0.45"})).string()};
    const std::vector<std::string> expected = Written(files, Transformation::Arcsine);
    for (const std::string& f : files)
        GiveFileValues(f, ReadFileValues(f, static_cast<int>(Transformation::None), nullptr));
    EXPECT_EQ(Written(files, Transformation::Arcsine), expected);
    ForgetGivenFileValues();
}

}  // namespace
}  // namespace vortel
