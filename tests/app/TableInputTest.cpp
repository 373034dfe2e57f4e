// The five example treatments as treatment files, as a long table and as a wide table: the
// program writes the same report from each, byte for byte (the report names no input file),
// and the same CSV results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "support/RunProgram.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

// A fixed clock, so that the report's dates and name are the same in every run.
struct FixedMoment {
    FixedMoment() { setenv("SOURCE_DATE_EPOCH", "1709802303", 1); }
    ~FixedMoment() { setenv("SOURCE_DATE_EPOCH", "", 1); }
};

struct Outcome {
    std::string Printed;                     // the paths printed, less the folder
    std::map<std::string, std::string> Out;  // every file written, by name
};

// Runs `vortel cartesian OPTIONS INPUTS` in a folder of its own holding copies of the inputs.
Outcome RunCartesian(const std::vector<std::string>& options,
                     const std::vector<std::pair<std::string, std::string>>& inputs) {
    test::TempFolder folder;
    std::vector<std::string> args{"cartesian"};
    args.insert(args.end(), options.begin(), options.end());
    for (const auto& [name, content] : inputs) args.push_back(folder.Write(name, content).string());
    const test::ProgramResult r = test::RunVortel(args);
    EXPECT_EQ(r.status, 0) << r.err;
    Outcome o;
    o.Printed = r.out;
    for (std::size_t at; (at = o.Printed.find(folder.Path().string())) != std::string::npos;)
        o.Printed.erase(at, folder.Path().string().size());
    for (const std::string& name : folder.Files()) {
        const bool input = std::any_of(inputs.begin(), inputs.end(),
                                       [&](const auto& in) { return in.first == name; });
        if (!input) o.Out[name] = ReadAll(folder / name);
    }
    return o;
}

std::string Example(const std::string& name) { return ReadAll(fs::path(VORTEL_EXAMPLES) / name); }

// The long table less its parameter column (every row's parameter is r).
std::string WithoutParameter(std::string table) {
    for (const auto& [from, to] : {std::pair<std::string, std::string>{",parameter,", ","},
                                   std::pair<std::string, std::string>{",r,", ","}}) {
        for (std::size_t at; (at = table.find(from)) != std::string::npos;)
            table.replace(at, from.size(), to);
    }
    return table;
}

std::vector<std::pair<std::string, std::string>> ExampleFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    for (int t = 1; t <= 5; ++t) {
        const std::string name = "treatment-" + std::to_string(t) + ".txt";
        files.emplace_back(name, Example(name));
    }
    return files;
}

TEST(TableInput, ExampleTablesGiveTheTreatmentFilesReport) {
    const FixedMoment moment;
    const auto files = ExampleFiles();
    const std::string longTable = Example("treatments-long.csv");
    const std::string wideTable = Example("treatments-wide.csv");
    // Three of them in a table, two as files, entered in between.
    std::string threeOfThem = "treatment,value,n,original,parameter\r\n";
    for (std::size_t at = longTable.find("\r\n") + 2; at < longTable.size();) {
        const std::size_t end = longTable.find("\r\n", at) + 2;
        const std::string row = longTable.substr(at, end - at);
        if (row.rfind("Pepper,", 0) == 0 || row.rfind("Eggplant,", 0) == 0 ||
            row.rfind("Cabbage,", 0) == 0) {
            // The same cells in another order.
            const auto cells = [&] {
                std::vector<std::string> c;
                std::size_t from = 0;
                for (std::size_t comma;
                     (comma = row.find_first_of(",\r", from)) != std::string::npos;
                     from = comma + 1)
                    c.push_back(row.substr(from, comma - from));
                return c;
            }();
            threeOfThem += cells[0] + "," + cells[4] + "," + cells[1] + "," + cells[2] + "," +
                           cells[3] + "\r\n";
        }
        at = end;
    }

    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, std::vector<std::string>{"--csv"},
          std::vector<std::string>{"--reversed", "--transform", "logit"}}) {
        SCOPED_TRACE(options.empty() ? "no options" : options[0]);
        const Outcome fromFiles = RunCartesian(options, files);
        ASSERT_EQ(fromFiles.Out.size(), options == std::vector<std::string>{"--csv"} ? 3u : 1u);
        EXPECT_EQ(RunCartesian(options, {{"treatments-long.csv", longTable}}).Out, fromFiles.Out);
        EXPECT_EQ(RunCartesian(options, {{"treatments-wide.csv", wideTable}}).Out, fromFiles.Out);
        std::vector<std::string> named = options;
        named.insert(named.end(), {"--parameter", "r"});
        EXPECT_EQ(RunCartesian(named, {{"long.csv", WithoutParameter(longTable)}}).Out,
                  fromFiles.Out);
        EXPECT_EQ(RunCartesian(options, {files[0], {"three.csv", threeOfThem}, files[3]}).Out,
                  fromFiles.Out);
        EXPECT_EQ(RunCartesian(options, {{"treatments-wide.csv", wideTable}}).Printed,
                  fromFiles.Printed);
    }
}

// The R and Python packages hold their report and tables of the examples to these files.
TEST(TableInput, ExampleFilesGiveTheCheckedReportAndTables) {
    const FixedMoment moment;
    const std::string stem = "25A-Cartesian diff results-r_202437-953";
    const auto checked = [](const std::string& name) {
        return ReadAll(test::DataFile("examples/examples-" + name));
    };
    EXPECT_EQ(RunCartesian({"--csv"}, ExampleFiles()).Out,
              (std::map<std::string, std::string>{
                  {stem + ".txt", checked("report.txt")},
                  {stem + " pairs.csv", checked("pairs.csv")},
                  {stem + " treatments.csv", checked("treatments.csv")}}));
}

}  // namespace
}  // namespace vortel
