// Hostile input through both batch commands. A refusal is one clear line on standard error and a
// non-zero exit, and it leaves the folder exactly as it was: no new file, no half-written file,
// every earlier output file of the same name intact. Sound input in odd clothes (CR-only line
// ends, names with commas, quotes and bytes above 127) goes through unharmed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

// Every entry under the folder: a folder as "<folder>", a file as its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).string();
        entries[name] = e.is_directory() ? "<folder>" : ReadAll(e.path());
    }
    return entries;
}

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

// Two treatments of four values each, and the files an earlier run left beside them.
const std::string Tomato =
    "\"Tomato\",x,24,x,4,\"r\",24,0.25\r\n0.262\r\n0.251\r\n0.248\r\n0.239\r\n";
const std::string Pepper =
    "\"Pepper\",x,20,x,4,\"r\",20,0.19\r\n0.187\r\n0.191\r\n0.179\r\n0.184\r\n";
const std::string FlowRecord = "_0_Flow.txt";
const std::string AllDifferences = "25A-Cartesian diff_5-r-1 to 2_diff-All (for N. sort).txt";
const std::string SigA = "25A-Cartesian diff_7-r-1 to 2_diff-SigA.txt";
const std::vector<std::string> CartesianEarlier = {FlowRecord, AllDifferences, SigA};

const std::string Sorted = "in-2_Sorted.txt";
const std::string Percentile = "in-1_0.025, 0.5 and 0.975 V.txt";
const std::string Counts = "in-3_Sorted and counts.txt";
const std::vector<std::string> SortCountEarlier = {Sorted, Percentile, Counts};

// One refused input. In `args`, "@name" stands for that name inside the case's folder.
struct Refusal {
    const char* what;
    std::vector<std::string> args;
    std::map<std::string, std::string> files;  // written into the folder before the run
    std::vector<std::string> folders;          // made in the folder before the run, in place
                                               // of an earlier file of the same name
    std::string mention;                       // the message names this
};

void ExpectRefused(const Refusal& c, const std::vector<std::string>& earlier) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    for (const auto& name : c.folders) fs::create_directory(folder / name);
    for (const auto& name : earlier)
        if (!fs::exists(folder / name)) folder.Write(name, "earlier " + name + "\r\n");
    for (const auto& [name, content] : c.files) folder.Write(name, content);
    std::vector<std::string> args;
    for (const auto& a : c.args) args.push_back(a[0] == '@' ? (folder / a.substr(1)).string() : a);
    const auto before = Snapshot(folder.Path());

    const ProgramResult r = RunVortel(args);

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("vortel " + args[0] + ": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "not one line: " << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos)
        << "no \"" << c.mention << "\" in " << r.err;
    const auto after = Snapshot(folder.Path());
    EXPECT_EQ(after, before);
}

TEST(BadInput, CartesianRefusesAndLeavesTheFolderAsItWas) {
    const std::vector<std::string> run = {"cartesian", "--flow-record", "--detail-differences",
                                          "@a.txt", "@b.txt"};
    const std::string head = "\"Pepper\",x,20,x,";
    const std::string values = "0.187\r\n0.191\r\n0.179\r\n0.184\r\n";
    // About 5 MB on one line: B values that hold, and a last one that does not.
    const std::size_t many = 1'000'000;
    const std::string oneLine =
        head + std::to_string(many) + ",r,20,0.19," + Repeat("0.18,", many - 1) + "oops";
    // 2001 values each: 2001 x 2001 differences, past the 4000005 a pair may hold.
    const std::string wide = head + "2001,\"r\",20,0.19\r\n" + Repeat("0.18\r\n", 2001);
    const std::vector<Refusal> cases = {
        {"empty file", run, {{"b.txt", ""}}, {}, "b.txt"},
        {"blank lines only", run, {{"b.txt", "\r\n\r\n  \r\n"}}, {}, "b.txt"},
        {"header only", run, {{"b.txt", head + "4,\"r\",20,0.19\r\n"}}, {}, "b.txt"},
        {"text for B", run, {{"b.txt", head + "four,\"r\",20,0.19\r\n" + values}}, {}, "field 5"},
        {"text for a value",
         run,
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\nabc\r\n0.179\r\n0.184\r\n"}},
         {},
         "field 10"},
        {"NUL in a value",
         run,
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\n0.1" + std::string(1, '\0') +
                        "91\r\n0.179\r\n0.184\r\n"}},
         {},
         "field 10"},
        {"B of 0", run, {{"b.txt", head + "0,\"r\",20,0.19\r\n" + values}}, {}, "field 5"},
        {"B negative", run, {{"b.txt", head + "-4,\"r\",20,0.19\r\n" + values}}, {}, "field 5"},
        {"B beyond the lists",
         run,
         {{"b.txt", head + "5000000,\"r\",20,0.19\r\n" + values}},
         {},
         "field 5"},
        {"B over 32 bits",
         run,
         {{"b.txt", head + "3000000000,\"r\",20,0.19\r\n" + values}},
         {},
         "field 5"},
        {"n over 32 bits",
         run,
         {{"b.txt", head + "4,\"r\",-2147483649,0.19\r\n" + values}},
         {},
         "field 7"},
        {"value beyond a double",
         run,
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\n1e999\r\n0.179\r\n0.184\r\n"}},
         {},
         "1e999"},
        {"value too large for the sums of squares",
         run,
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\n1e300\r\n0.179\r\n0.184\r\n"}},
         {},
         "1E+300"},
        {"differences beyond the lists", run, {{"a.txt", wide}, {"b.txt", wide}}, {}, "4004001"},
        {"5 MB on one line", run, {{"b.txt", oneLine}}, {}, "field " + std::to_string(many + 8)},
        {"unquoted name with a comma",
         run,
         {{"b.txt", "Pep,per,x,20,x,4,r,20,0.19\r\n" + values}},
         {},
         "field 3"},
        {"quote never closed",
         run,
         {{"b.txt", "\"Pepper,x,20,x,4,r,20,0.19\r\n" + values}},
         {},
         "b.txt"},
        {"logit of 1",
         {"cartesian", "--transform", "logit", "@a.txt", "@b.txt"},
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\n1\r\n0.179\r\n0.184\r\n"}},
         {},
         "logit"},
        {"arcsine of 2",
         {"cartesian", "--transform", "arcsine", "@a.txt", "@b.txt"},
         {{"b.txt", head + "4,\"r\",20,0.19\r\n0.187\r\n2\r\n0.179\r\n0.184\r\n"}},
         {},
         "arcsine"},
        {"missing file", run, {}, {}, "b.txt"},
        {"folder given as a file", run, {}, {"b.txt"}, "b.txt"},
        {"endless device given as a file",
         {"cartesian", "@a.txt", "/dev/zero"},
         {},
         {},
         "/dev/zero"},
        {"detail file name taken by a folder", run, {{"b.txt", Pepper}}, {SigA}, "SigA"},
        {"flow record name taken by a folder", run, {{"b.txt", Pepper}}, {FlowRecord}, FlowRecord},
    };
    for (Refusal c : cases) {
        c.files.emplace("a.txt", Tomato);
        ExpectRefused(c, CartesianEarlier);
    }
}

// Tables that cannot be read: each message names the table, the row and the column, and the
// folder (with the files of an earlier run in it) stays as it was.
TEST(BadInput, CartesianRefusesBadTables) {
    const std::vector<std::string> run = {"cartesian", "--flow-record", "@t.csv"};
    const std::string head = "treatment,value,n,original\r\n";
    const std::string b = "B,0.3,20,0.3\r\nB,0.31,20,0.3\r\n";
    std::string many = ",";
    for (int t = 1; t <= 21; ++t) many += "T" + std::to_string(t) + (t < 21 ? "," : "\r\n");
    many += "n" + Repeat(",20", 21) + "\r\noriginal" + Repeat(",0.2", 21) + "\r\n1" +
            Repeat(",0.2", 21) + "\r\n2" + Repeat(",0.3", 21) + "\r\n";
    const std::vector<Refusal> cases = {
        {"missing column",
         run,
         {{"t.csv", "treatment,n,original\r\nA,20,0.2\r\n"}},
         {},
         "t.csv\", row 1: no column is named value."},
        {"text in a value cell",
         run,
         {{"t.csv", head + "A,0.2,20,0.2\r\nA,abc,20,0.2\r\n" + b}},
         {},
         "t.csv\", row 3, column 2 (value): \"abc\" is not a number."},
        {"one value",
         run,
         {{"t.csv", head + "A,0.2,20,0.2\r\n" + b}},
         {},
         "t.csv\", row 2, column 2 (value): treatment \"A\" has 1 value; a treatment needs at "
         "least 2 bootstrap values."},
        {"21 treatments",
         run,
         {{"t.csv", many}},
         {},
         "row 1, column 22: treatment \"T21\" is one "
         "more than 20"},
        {"two treatments of one name",
         run,
         {{"t.csv", ",A,B,A\r\nn,2,2,2\r\noriginal,1,1,1\r\n1,1,2,3\r\n2,1,2,3\r\n"}},
         {},
         "t.csv\", row 1, column 4: a second column is named \"A\" (the first is column 2)"},
        {"n not whole",
         run,
         {{"t.csv", head + "A,0.2,20.5,0.2\r\nA,0.3,20.5,0.2\r\n" + b}},
         {},
         "row 2, column 3 (n): n is \"20.5\"; it must be a whole number above 0"},
        {"n of 0",
         run,
         {{"t.csv", ",A,B\r\nn,0,2\r\noriginal,1,1\r\n1,1,2\r\n2,1,2\r\n"}},
         {},
         "row 2, column 2 (n): n is \"0\"; it must be a whole number above 0"},
        {"n missing",
         run,
         {{"t.csv", "treatment,value,original\r\nA,0.2,0.2\r\nA,0.3,0.2\r\n"}},
         {},
         "row 2: treatment \"A\" has no n: add a column named n"},
        {"unterminated quote",
         run,
         {{"t.csv", head + "A,0.2,20,0.2\r\n\"A,0.3,20,0.2\r\n" + b}},
         {},
         "row 3, column 1: the quote that opens this cell is never closed"},
        {"decimal point in a table of semicolons",
         run,
         {{"t.csv", ";A;B\r\nn;2;2\r\noriginal;1;1\r\n1;1,5;2\r\n2;1.5;2\r\n"}},
         {},
         "row 5, column 2 (A): \"1.5\" is not a number (this table has ; between its cells"},
        {"a table of one treatment alone",
         run,
         {{"t.csv", head + "A,0.2,20,0.2\r\nA,0.3,20,0.2\r\n"}},
         {},
         "The files given hold only one treatment"},
    };
    for (const Refusal& c : cases) ExpectRefused(c, CartesianEarlier);
}

// A file of one 200 MB line is refused once its first MiB is read, naming the row and column.
TEST(BadInput, CartesianRefusesATableOfOneEndlessLine) {
    TempFolder folder;
    const auto path = folder / "endless.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "treatment,value\r\nA,";
        const std::string block(1 << 20, '7');
        for (int k = 0; k < 200; ++k) out << block;
        out << "\r\n";
    }
    const ProgramResult r = RunVortel({"cartesian", path.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("endless.csv\", row 2, column 2: the row is longer than 1048576 bytes"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"endless.csv"});
}

TEST(BadInput, SortCountRefusesAndLeavesTheFolderAsItWas) {
    const std::vector<std::string> general = {"sortcount", "--kind", "general", "@in.txt"};
    const std::vector<std::string> boot = {"sortcount", "@in.txt"};
    const std::vector<std::string> serials = {"sortcount", "--kind", "general", "--serials",
                                              "@in.txt"};
    const std::size_t many = 2'500'000;  // about 5 MB on one line
    const std::string oneLine = "T,x,V," + Repeat("3,", many) + "oops";
    const std::vector<Refusal> cases = {
        {"empty file", general, {{"in.txt", ""}}, {}, "in.txt"},
        {"header only, general", general, {{"in.txt", "T,x,V\r\n"}}, {}, "in.txt"},
        {"marker first", general, {{"in.txt", "T,x,V,-1,3,4\r\n"}}, {}, "in.txt"},
        {"header only, boot", boot, {{"in.txt", "T,x,9,x,4,V,A,1\r\n"}}, {}, "in.txt"},
        {"header only, results",
         {"sortcount", "--kind", "results", "@in.txt"},
         {{"in.txt", "T,x,9,x,4,V,A,1,p,q\r\n"}},
         {},
         "in.txt"},
        {"text for a value", general, {{"in.txt", "T,x,V,3,five,4\r\n"}}, {}, "field 5"},
        {"text for B", boot, {{"in.txt", "T,x,9,x,four,V,A,1\r\n0.2\r\n"}}, {}, "field 5"},
        {"B of 0", boot, {{"in.txt", "T,x,9,x,0,V,A,1\r\n0.2\r\n0.3\r\n"}}, {}, "in.txt"},
        {"B negative", boot, {{"in.txt", "T,x,9,x,-2,V,A,1\r\n0.2\r\n0.3\r\n"}}, {}, "in.txt"},
        {"B over 32 bits",
         boot,
         {{"in.txt", "T,x,9,x,3000000000,V,A,1\r\n0.2\r\n"}},
         {},
         "field 5"},
        {"serial over 32 bits",
         serials,
         {{"in.txt", "T,x,V,1,2.5,3000000000,3\r\n"}},
         {},
         "field 6"},
        {"rounding beyond 32 bits",
         {"sortcount", "--kind", "general", "--decimals", "5", "@in.txt"},
         {{"in.txt", "T,x,V,3,100000,4\r\n"}},
         {},
         "32-bit"},
        {"value beyond a double", general, {{"in.txt", "T,x,V,3,1e999,4\r\n"}}, {}, "1e999"},
        {"not a number", general, {{"in.txt", "T,x,V,3,nan,4\r\n"}}, {}, "field 5"},
        {"5 MB on one line",
         general,
         {{"in.txt", oneLine}},
         {},
         "field " + std::to_string(many + 4)},
        {"unquoted name with a comma",
         boot,
         {{"in.txt", "Tom,ato,x,9,x,2,V,A,1\r\n0.2\r\n0.3\r\n"}},
         {},
         "field 3"},
        {"missing file", general, {}, {}, "in.txt"},
        {"folder given as a file", general, {}, {"in.txt"}, "in.txt"},
        {"endless device given as a file",
         {"sortcount", "--kind", "general", "/dev/zero"},
         {},
         {},
         "/dev/zero"},
        {"sorted file name taken by a folder",
         general,
         {{"in.txt", "T,x,V,3,5,3,4\r\n"}},
         {Sorted},
         Sorted},
    };
    for (const Refusal& c : cases) ExpectRefused(c, SortCountEarlier);
}

TEST(BadInput, SortCountCountsFileNameTakenByAFolder) {
    ExpectRefused({"counts file name taken by a folder",
                   {"sortcount", "--kind", "general", "@in.txt"},
                   {{"in.txt", "T,x,V,3,5,3,4\r\n"}},
                   {Counts},
                   Counts},
                  SortCountEarlier);
}

TEST(BadInput, CartesianReportNameTakenByAFolder) {
    // With a code the report's name ends in a random whole number 0..1000: take every one.
    std::vector<std::string> names;
    for (int n = 0; n <= 1000; ++n)
        names.push_back("25A-Cartesian diff results-r_X " + std::to_string(n) + ".txt");
    ExpectRefused({"report name taken by a folder",
                   {"cartesian", "--detail-differences", "--code", "X", "@a.txt", "@b.txt"},
                   {{"a.txt", Tomato}, {"b.txt", Pepper}},
                   names,
                   "25A-Cartesian diff results-r_X"},
                  CartesianEarlier);
}

// Replaces every CR LF of `text` with `lineEnd`.
std::string WithLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            out += lineEnd;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Old Mac files end their lines with CR alone, Unix files with LF: the same data, the same
// results, byte for byte.
TEST(BadInput, AnyLineEndsGiveTheSameResults) {
    const std::string general = "T,x,V\r\n3\r\n5\r\n3\r\n4\r\n5\r\n5\r\n";
    std::map<std::string, std::string> cartesianFirst, sortCountFirst;
    for (const std::string lineEnd : {"\r\n", "\r", "\n"}) {
        SCOPED_TRACE(lineEnd == "\r" ? "CR" : lineEnd == "\n" ? "LF" : "CR LF");
        TempFolder cartesian;
        cartesian.Write("a.txt", WithLineEnds(Tomato, lineEnd));
        cartesian.Write("b.txt", WithLineEnds(Pepper, lineEnd));
        const ProgramResult c =
            RunVortel({"cartesian", "--detail-differences", (cartesian / "a.txt").string(),
                       (cartesian / "b.txt").string()});
        ASSERT_EQ(c.status, 0) << c.err;
        auto details = Snapshot(cartesian.Path());
        details.erase("a.txt");
        details.erase("b.txt");
        // The report carries the date and time of its run.
        details.erase(fs::path(c.out.substr(0, c.out.size() - 1)).filename().string());
        EXPECT_EQ(details.size(), 6u);

        TempFolder sortCount;
        const auto in = sortCount.Write("in.txt", WithLineEnds(general, lineEnd));
        const ProgramResult s = RunVortel({"sortcount", "--kind", "general", in.string()});
        ASSERT_EQ(s.status, 0) << s.err;
        auto outputs = Snapshot(sortCount.Path());
        outputs.erase("in.txt");
        EXPECT_EQ(outputs.size(), 3u);
        EXPECT_EQ(outputs["in-1_0.025, 0.5 and 0.975 V.txt"],
                  "\"The 0.5 percentile life table of V is 4\"\r\n");

        if (cartesianFirst.empty()) {
            cartesianFirst = details;
            sortCountFirst = outputs;
        }
        EXPECT_EQ(details, cartesianFirst);
        EXPECT_EQ(outputs, sortCountFirst);
    }
}

// A quoted name may hold commas and any bytes; they reach the outputs byte for byte, and so do
// file names with commas, quotes and bytes above 127.
TEST(BadInput, NamesWithCommasQuotesAndHighBytesPassThrough) {
    const std::string name = "Tom, \xc3\xa9t\xe9 'q'";  // UTF-8 and Latin-1 alike
    const std::string fileName = "a, \"q\" \xe9.txt";
    TempFolder cartesian;
    const auto a = cartesian.Write(fileName, "\"" + name + "\"" + Tomato.substr(8));
    const auto b = cartesian.Write("b.txt", Pepper);
    const ProgramResult c =
        RunVortel({"cartesian", "--detail-differences", b.string(), a.string()});
    ASSERT_EQ(c.status, 0) << c.err;
    const std::string report = ReadAll(c.out.substr(0, c.out.size() - 1));
    EXPECT_NE(report.find("Comparison between " + name + " vs Pepper"), std::string::npos);
    EXPECT_EQ(ReadAll(cartesian / AllDifferences).rfind("\"" + name + " vs Pepper\"\r\n", 0), 0u);

    TempFolder sortCount;
    const auto in = sortCount.Write("in, \"q\" \xe9.txt",
                                    "\"Trial, \xc3\xa9t\xe9\",x,\"Age, \xe9\",3,5,3,4,5,5\r\n");
    const ProgramResult s = RunVortel({"sortcount", "--kind", "general", in.string()});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(ReadAll(sortCount / "in, \"q\" \xe9-1_0.025, 0.5 and 0.975 Age, \xe9.txt"),
              "\"The 0.5 percentile life table of Age, \xe9 is 4\"\r\n");
    EXPECT_EQ(ReadAll(sortCount / "in, \"q\" \xe9-2_Sorted.txt")
                  .rfind("\"Project: Trial, \xc3\xa9t\xe9\"\r\n", 0),
              0u);
}

// Makes a folder unwritable even for root (the tests run as root in CI, where permissions do not
// stop anyone): the immutable attribute, taken off again at the end.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const fs::path& path) : m_path(path) {
        m_set = std::system(("chattr +i '" + path.string() + "' 2>/dev/null").c_str()) == 0;
    }
    ~ImmutableFolder() {
        if (m_set) std::system(("chattr -i '" + m_path.string() + "' 2>/dev/null").c_str());
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    // True when a new file really cannot be made in the folder.
    bool Holds() const {
        if (!m_set) return false;
        const fs::path probe = m_path / "probe";
        if (!std::ofstream(probe)) return true;
        fs::remove(probe);
        return false;
    }

private:
    fs::path m_path;
    bool m_set = false;
};

TEST(BadInput, UnwritableOutputFolderIsRefused) {
    TempFolder folder;  // its own folder names hold no quote
    for (const auto& name : CartesianEarlier) folder.Write(name, "earlier\r\n");
    for (const auto& name : SortCountEarlier) folder.Write(name, "earlier\r\n");
    const auto a = folder.Write("a.txt", Tomato);
    const auto b = folder.Write("b.txt", Pepper);
    const auto in = folder.Write("in.txt", "T,x,V,3,5,3,4\r\n");
    const auto before = Snapshot(folder.Path());
    ImmutableFolder locked(folder.Path());
    if (!locked.Holds()) GTEST_SKIP() << "no way here to make a folder unwritable for this user";

    const std::vector<std::vector<std::string>> runs = {
        {"cartesian", a.string(), b.string()},
        {"cartesian", "--flow-record", "--detail-differences", a.string(), b.string()},
        {"sortcount", "--kind", "general", in.string()},
    };
    for (const auto& args : runs) {
        const ProgramResult r = RunVortel(args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.err.rfind("vortel " + args[0] + ": ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(folder.Path().string()), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(Snapshot(folder.Path()), before);
}

}  // namespace
}  // namespace vortel
