// The results of a test as two CSV tables beside the report, one row per pair and one per
// treatment, for spreadsheets, R and Python to load without retyping.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "cartesian/result/CartesianResult.h"

namespace vortel {

class OutputFile;
class OutputSet;

// A text field of a CSV record: quoted when it holds a comma, a double quote, a line break or
// blanks at either end (which spreadsheets would trim), inner quotes doubled.
std::string CsvField(std::string_view text);

// The shortest decimal text that reads back as the same double (std::to_chars); NaN, Inf and
// -Inf, which R and Python both read as numbers.
std::string CsvNumber(double x);

// Both tables, header row first, every line ended by CR LF.
struct ResultsCsv {
    std::string Pairs;
    std::string Treatments;
};

// Pairs in report order, each taken as the difference the test formed (larger bootstrap mean
// minus smaller; the later treatment first when the means are equal); treatments in report
// order with their letters of the marking table. Each column is one line of its table in
// ResultsCsv.cpp, header beside value.
ResultsCsv ResultsCsvOf(const CartesianResult& result);
// The same from a state that holds a finished test.
ResultsCsv ResultsCsvOf(const Treatments& treatments, const TestResults& results,
                        const PairScratch& work);

struct ResultsCsvPaths {
    std::filesystem::path Pairs;
    std::filesystem::path Treatments;
};

// "<report without .txt> pairs.csv" and "<report without .txt> treatments.csv", beside it.
ResultsCsvPaths ResultsCsvPathsFor(const std::filesystem::path& report);

// Creates both files in `set`; they appear when the set is committed, with whatever else it
// holds.
void WriteResultsCsv(const ResultsCsv& tables, const ResultsCsvPaths& paths, OutputSet& set);
// The same beside `report`, the file of `set` that takes a free name: the tables follow the
// name it takes.
void WriteResultsCsvBeside(const ResultsCsv& tables, const OutputFile& report, OutputSet& set);

}  // namespace vortel
