// The batch commands' option tables: every row is documented by --help and parses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "support/RunProgram.h"

namespace vortel {
namespace {

// Each row's name and value name appear in --help, and the row parses its example with two
// FILEs beside it (before, between and after them), leaving the FILEs in order.
template <class Options, class Parse>
void CheckTable(const std::string& help, auto table, Parse parse) {
    for (const auto& row : table) {
        const std::string shown =
            std::string(row.Name) + (row.Value != nullptr ? std::string(" ") + row.Value : "");
        EXPECT_NE(help.find("[" + shown + "]"), std::string::npos) << shown;
        EXPECT_NE(help.find("      " + shown + "\n"), std::string::npos) << shown;
        std::vector<std::string> option{row.Name};
        if (row.Value != nullptr) option.push_back(row.Example);
        for (std::size_t at = 0; at <= 2; ++at) {
            std::vector<std::string> args{"a.txt", "b.txt"};
            args.insert(args.begin() + static_cast<std::ptrdiff_t>(at), option.begin(),
                        option.end());
            Options o;
            EXPECT_EQ(parse(args, o), std::nullopt) << shown;
            EXPECT_EQ(o.Files, (std::vector<std::string>{"a.txt", "b.txt"})) << shown;
        }
    }
}

TEST(BatchOptions, EveryOptionIsInTheHelpAndParses) {
    const test::ProgramResult help = test::RunVortel({"--help"});
    ASSERT_EQ(help.status, 0);
    CheckTable<CartesianBatchOptions>(help.out, CartesianOptionTable(), ParseCartesianOptions);
    CheckTable<SortCountBatchOptions>(help.out, SortCountOptionTable(), ParseSortCountOptions);
    CheckTable<PaperTableBatchOptions>(help.out, PaperTableOptionTable(), ParsePaperTableOptions);
}

TEST(BatchOptions, RefusalsNameTheOption) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--transform"}, "--transform needs a value"},
        {{"--transform", "log"}, "--transform is none, arcsine or logit, not \"log\""},
        {{"--figure", "f.pdf"}, "--figure \"f.pdf\" must end in .png or .svg"},
        {{"--parameter", ""}, "--parameter needs a name"},
        {{"--code", "a/b"}, "--code \"a/b\" cannot stand in a file name"},
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"--paper-table", "t.docx"},
         "--paper-table \"t.docx\" must end in .csv, .md, .html or .tex"},
        {{"--paper-decimals", "2.5"},
         "--paper-decimals takes a whole number from 0 to 12, not "
         "\"2.5\""},
        {{"--means-figure", "m.pdf"}, "--means-figure \"m.pdf\" must end in .svg or .png"},
        {{"--means-style", "lines"}, "--means-style is points or bars, not \"lines\""},
        {{"--means-width", "wide"}, "--means-width is single or double, not \"wide\""},
    };
    for (const Case& c : cases) {
        CartesianBatchOptions o;
        EXPECT_EQ(ParseCartesianOptions(c.args, o), std::string(c.message));
    }
    // After "--" every argument is a FILE, options and "-" included.
    CartesianBatchOptions o;
    EXPECT_EQ(ParseCartesianOptions({"--csv", "--", "--reversed", "-"}, o), std::nullopt);
    EXPECT_TRUE(o.Csv);
    EXPECT_FALSE(o.Reversed);
    EXPECT_EQ(o.Files, (std::vector<std::string>{"--reversed", "-"}));
}

}  // namespace
}  // namespace vortel
