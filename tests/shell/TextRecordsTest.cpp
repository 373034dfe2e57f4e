#include <gtest/gtest.h>

#include <sstream>

#include "shell/base/RunStopped.h"
#include "shell/base/TextRecords.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using test::CrLf;

std::string Printed(const std::function<void(TextWriter&)>& print) {
    std::ostringstream out;
    {
        TextWriter w(out);
        print(w);
    }
    return out.str();
}

TEST(PrintLine, NumbersCarrySignBlankAndTrailingBlank) {
    EXPECT_EQ(Printed([](TextWriter& w) {
                  w.Text(" ").Text("A").Tab(15).Number(2.5).Tab(40).Number(0.125).EndLine();
              }),
              " A" + std::string(12, ' ') + " 2.5 " + std::string(20, ' ') + " 0.125 \r\n");
    EXPECT_EQ(Printed([](TextWriter& w) { w.Number(-3.25).EndLine(); }), "-3.25 \r\n");
    EXPECT_EQ(Printed([](TextWriter& w) { w.Number(std::int32_t{0}).EndLine(); }), " 0 \r\n");
}

TEST(PrintLine, TabPastTheColumnStartsANewLine) {
    EXPECT_EQ(
        Printed([](TextWriter& w) { w.Text(std::string(20, 'x')).Tab(15).Text("y").EndLine(); }),
        std::string(20, 'x') + "\r\n" + std::string(14, ' ') + "y\r\n");
    // Exactly at the column: nothing is added.
    EXPECT_EQ(
        Printed([](TextWriter& w) { w.Text(std::string(14, 'x')).Tab(15).Text("y").EndLine(); }),
        std::string(14, 'x') + "y\r\n");
}

TEST(PrintLine, AJoinMarkContinuesTheLineAcrossStatements) {
    EXPECT_EQ(Printed([](TextWriter& w) {
                  w.Text("Table");
                  w.Text(" 7").EndLine();
              }),
              "Table 7\r\n");
}

TEST(WriteRecord, TextsQuotedNumbersBare) {
    EXPECT_EQ(Printed([](TextWriter& w) { w.Write("Original means", 12.5, -0.25); }),
              "\"Original means\",12.5,-0.25\r\n");
    EXPECT_EQ(Printed([](TextWriter& w) { w.Write(std::int32_t{3}, -3.25, std::string("a\xe9")); }),
              "3,-3.25,\"a\xe9\"\r\n");
}

TEST(InputFields, ReadsMixedSeparatorsQuotesAndBlanks) {
    InputFields in("  \"Host, plant\" , 2,3\r\n 4.5\n\"x\"\r\n-1,  7 \n\n", "t.txt");
    EXPECT_EQ(in.ReadText("name"), "Host, plant");
    EXPECT_EQ(in.ReadAny("2").Number, 2);
    EXPECT_EQ(in.ReadInt32("3"), 3);
    EXPECT_EQ(in.ReadDouble("4"), 4.5);
    Variant v = in.ReadAny("5");
    EXPECT_FALSE(v.IsNumber);
    EXPECT_EQ(v.Text, "x");
    EXPECT_EQ(in.ReadDouble("6"), -1);
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.ReadInt32("7"), 7);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.FieldNumber(), 7);
}

TEST(InputFields, CrOnlyLineEndsAndEmptyFields) {
    InputFields in("a\rb,,c", "t.txt");
    EXPECT_EQ(in.ReadText("1"), "a");
    EXPECT_EQ(in.ReadText("2"), "b");
    EXPECT_EQ(in.ReadText("3"), "");
    EXPECT_EQ(in.ReadText("4"), "c");
    EXPECT_TRUE(in.AtEnd());
}

TEST(InputFields, FailuresNameFileFieldAndWhatWasFound) {
    InputFields in("name,abc", "data/t1.txt");
    in.ReadText("name");
    try {
        in.ReadDouble("sample size");
        FAIL() << "no error";
    } catch (const RunStopped& e) {
        EXPECT_EQ(std::string(e.what()),
                  "File \"data/t1.txt\", field 2 (sample size, a number): found \"abc\".");
    }
    try {
        in.ReadText("parameter");
        FAIL() << "no error";
    } catch (const RunStopped& e) {
        EXPECT_EQ(std::string(e.what()),
                  "File \"data/t1.txt\", field 3 (parameter): found the end of the file.");
    }
    InputFields big("3000000000", "b.txt");
    EXPECT_THROW(big.ReadInt32("B"), RunStopped);
}

TEST(InputFields, MissingFileAndFolderAreRefused) {
    test::TempFolder tmp;
    EXPECT_THROW(InputFields::Open(tmp / "none.txt"), RunStopped);
    EXPECT_THROW(InputFields::Open(tmp.Path()), RunStopped);
    EXPECT_THROW(InputFields::Open(""), RunStopped);
    EXPECT_THROW(InputFields::Open("/dev/zero"), RunStopped);  // would be read without end
}

}  // namespace
}  // namespace vortel
