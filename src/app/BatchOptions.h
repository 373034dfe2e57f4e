// The options of the batch commands, each in one table row that both the parser and --help read,
// so that what the command takes and what its help says cannot drift apart.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cartesian/CartesianTest.h"
#include "report/MeansFigure.h"
#include "sortcount/SortCount.h"

namespace vortel {

// What `vortel cartesian` is asked to do, as typed values.
struct CartesianBatchOptions {
    Transformation Transform = Transformation::None;
    bool Reversed = false;
    bool DetailDifferences = false;
    bool FlowRecord = false;
    std::string Code = NoCode;
    bool Csv = false;
    std::string Figure;
    std::string Parameter;
    bool Progress = false;
    // The table and figure for a manuscript; -1 decimals: chosen from the test.
    std::string PaperTable;
    int PaperDecimals = -1;
    std::string MeansFigure;
    MeansFigureOptions Means;
    std::vector<std::string> Files;
};

// What `vortel paper-table` is asked to do.
struct PaperTableBatchOptions {
    std::string Output;  // empty: Markdown on standard output
    int Decimals = -1;
    std::vector<std::string> Files;
};

// What `vortel sortcount` is asked to do.
struct SortCountBatchOptions {
    SortCountRequest::Kind DataKind = SortCountRequest::Kind::Boot;
    bool Serials = false;
    std::string Decimals = "-1";
    std::string Chart;
    std::string Column;
    std::vector<std::string> Files;
};

template <class Options>
struct BatchOption {
    const char* Name;  // "--transform"
    // What follows the option in --help ("none|arcsine|logit"); null for a switch.
    const char* Value;
    // Its paragraph in --help, wrapped on output.
    const char* Help;
    // A value the option takes, for the test that every row parses.
    const char* Example;
    // Sets the option from its value ("" for a switch); a message when the value will not do.
    std::optional<std::string> (*Set)(Options& options, const std::string& value);
};

std::span<const BatchOption<CartesianBatchOptions>> CartesianOptionTable();
std::span<const BatchOption<SortCountBatchOptions>> SortCountOptionTable();
std::span<const BatchOption<PaperTableBatchOptions>> PaperTableOptionTable();

// Reads the arguments by the table: options anywhere, FILEs in order, a FILE that begins with
// "-" after "--". A message when they do not make a command; the FILE count is the caller's.
std::optional<std::string> ParseCartesianOptions(const std::vector<std::string>& args,
                                                 CartesianBatchOptions& options);
std::optional<std::string> ParseSortCountOptions(const std::vector<std::string>& args,
                                                 SortCountBatchOptions& options);
std::optional<std::string> ParsePaperTableOptions(const std::vector<std::string>& args,
                                                  PaperTableBatchOptions& options);

// Whether `text` ends in `end` (lower case), in any case: a figure's format comes from its name.
bool EndsWithCaseless(const std::string& text, const std::string& end);

// The synopsis and option paragraphs of --help, from the tables.
std::string CartesianUsage();
std::string SortCountUsage();
std::string PaperTableUsage();

}  // namespace vortel
