#include <gtest/gtest.h>

#include <cstring>

#include "shell/base/RunStopped.h"
#include "shell/base/TableReader.h"
#include "shell/base/TextRecords.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows ReadRows(TableReader& reader, std::vector<std::int64_t>* numbers = nullptr) {
    Rows rows;
    while (reader.Next()) {
        std::vector<std::string> row;
        for (const TableCell& c : reader.Cells()) row.emplace_back(c.Text);
        rows.push_back(row);
        if (numbers) numbers->push_back(reader.Row());
    }
    return rows;
}

Rows ReadText(const std::string& text, std::vector<std::int64_t>* numbers = nullptr) {
    TableReader reader(text, "t.csv");
    return ReadRows(reader, numbers);
}

std::string StopMessage(const std::string& text) {
    try {
        ReadText(text);
    } catch (const RunStopped& e) {
        return e.what();
    }
    return "(read without a stop)";
}

TEST(TableReader, ReadsWhatRfc4180Allows) {
    struct Case {
        const char* name;
        std::string text;
        Rows rows;
    };
    const Case cases[] = {
        {"CR LF, last row ended", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"LF, last row not ended", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"CR alone", "a,b\r1,2\r", {{"a", "b"}, {"1", "2"}}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "a,b\n",
         {{"a", "b"}}},
        {"quoted separator, quote and line break",
         "\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n",
         {{"x,y", "say \"hi\"", "two\r\nlines"}}},
        {"empty cells", ",,\n\"\",a\n", {{"", "", ""}, {"", "a"}}},
        {"blanks after a closing quote", "\"a\"  ,b\n", {{"a", "b"}}},
        {"an empty line is an empty row", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"semicolons", "\"\";x;y\nn;1,5;2\n", {{"", "x", "y"}, {"n", "1,5", "2"}}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadText(c.text), c.rows) << c.name;
}

// Row numbers are a spreadsheet's: empty lines count, a line break inside quotes does not.
TEST(TableReader, NumbersRowsAsASpreadsheetDoes) {
    std::vector<std::int64_t> numbers;
    ReadText("h\n\"a\nb\"\n\nc\n", &numbers);
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 2, 3, 4}));
}

TEST(TableReader, TakesTheSeparatorFromTheHeader) {
    TableReader semicolons("a;b,c;d\n", "t.csv");
    ASSERT_TRUE(semicolons.Next());
    EXPECT_EQ(semicolons.Separator(), ';');
    EXPECT_TRUE(semicolons.DecimalComma());
    // Quoted semicolons do not count.
    TableReader commas("\"a;b;c\",d\n", "t.csv");
    ASSERT_TRUE(commas.Next());
    EXPECT_EQ(commas.Separator(), ',');
}

TEST(TableReader, RefusesBrokenQuotesNamingRowAndColumn) {
    EXPECT_EQ(StopMessage("a,b\n1,\"2\n3,4\n"),
              "Table \"t.csv\", row 2, column 2: the quote that opens this cell is never closed "
              "(a quote inside a quoted cell is written twice: \"\").");
    EXPECT_EQ(StopMessage("a,\"b\"c\n"),
              "Table \"t.csv\", row 1, column 2: text follows the closing quote of the cell (a "
              "quote inside a quoted cell is written twice: \"\").");
}

// The file is read in blocks: rows across block edges read whole, and a line past the limit
// stops the reading once the limit is reached, without holding the rest.
TEST(TableReader, ReadsAFileInBlocksAndRefusesAnEndlessLine) {
    test::TempFolder folder;
    std::string text = "treatment,value\r\n";
    const int rows = 300'000;  // about 7 MB: the rows cross the edges of 4 MiB blocks
    for (int k = 0; k < rows; ++k)
        text += "\"T," + std::to_string(k % 7) + "\"," + std::to_string(k) + ".25\r\n";
    TableReader reader = TableReader::Open(folder.Write("big.csv", text));
    ASSERT_TRUE(reader.Next());
    int read = 0;
    while (reader.Next()) {
        ASSERT_EQ(reader.Cells().size(), 2u) << "row " << reader.Row();
        ASSERT_EQ(reader.Cells()[1].Text, std::to_string(read) + ".25");
        ASSERT_EQ(reader.Cells()[0].Text, "T," + std::to_string(read % 7));
        ++read;
    }
    EXPECT_EQ(read, rows);

    std::string endless = "a,b\n1," + std::string(TableReader::MostRowBytes + 10, '7') + "\n";
    TableReader longRow = TableReader::Open(folder.Write("endless.csv", endless));
    ASSERT_TRUE(longRow.Next());
    try {
        longRow.Next();
        FAIL() << "an endless row was read";
    } catch (const RunStopped& e) {
        EXPECT_NE(std::string(e.what()).find("row 2, column 2: the row is longer than 1048576 "
                                             "bytes, the most a table row may hold."),
                  std::string::npos)
            << e.what();
    }
}

// A cell's number is the very double a treatment file's field of the same text gives.
TEST(TableReader, CellNumbersAreTheTreatmentFilesNumbers) {
    for (const char* text : {"0.2301", "-1.5E-3", "2.2250738585072011e-308", "4.9e-324",
                             "0.1000000000000000055511151231257827", "1D2", ".5", "7"}) {
        InputFields field(text, "f.txt");
        const double expected = field.ReadDouble("value");
        double got = 0;
        ASSERT_TRUE(CellNumber(text, false, got)) << text;
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text;
        // Blanks and quotes around it change nothing.
        ASSERT_TRUE(CellNumber(std::string(" ") + text + "\t", false, got)) << text;
        EXPECT_EQ(got, expected) << text;
    }
    double x = 0;
    EXPECT_TRUE(CellNumber("0,25", true, x));
    EXPECT_EQ(x, 0.25);
    // Neither a text nor, with the decimal comma, a point (a thousands separator there).
    for (const char* text : {"abc", "", "1e-400", "nan", "1.5", "0,25"}) {
        EXPECT_FALSE(CellNumber(text, std::strcmp(text, "1.5") == 0, x)) << text;
    }
    EXPECT_FALSE(CellNumber("0,25", false, x));
}

}  // namespace
}  // namespace vortel
