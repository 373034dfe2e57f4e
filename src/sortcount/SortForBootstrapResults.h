// The sort-and-count utility and the handler of "N. Sort, norm.".
#pragma once

#include <filesystem>

#include "shell/state/App.h"

namespace vortel {

struct AnalysisState;

// Titles of the utility's questions, by which front ends and tests recognise them.
inline constexpr const char* SortKindTitle = "Sort and count general data or bootstrap results";
inline constexpr const char* SerialNumbersTitle = "Data formate";
inline constexpr const char* DecimalsTitle = "Limit the decimal points?";
// Asked when a table of several columns is chosen and no column was named beforehand.
inline constexpr const char* ColumnTitle = "Column to sort";
inline constexpr const char* FrequencyViewTitle = "Frequency distribution";
// The file dialogue's title for a general data file and for bootstrap results.
inline constexpr const char* GeneralFileTitle = "Open a general data file to sort";
inline constexpr const char* BootFileTitle = "Open a bootstrap file to sort";

// Most classes the frequency view is offered for.
inline constexpr std::int32_t ViewedClassLimit = 30'000;

// Asks for the kind of file, its layout, the file and the decimals; reads the values, sorts a
// copy (rounded when asked) and writes the sorted, percentile and counts files beside the input.
// Leaves SortDataKind, SortUtilityUsed (true), SortSerialNumbers, SortFilePath,
// OutputBaseName, SortVariableName, SortSampleMean, DecimalLimit, the header fields of the file
// (ProjectName or TreatmentName(1), SampleSize(1), OriginalMean(1), SortFieldA),
// BootstrapNumber(1) = n, SortedDifferences(1..n) sorted, and ClassCount, ClassValue and
// ClassFrequency. A cancelled file choice returns with nothing read or written.
// Refused inputs (no values, more than ListCapacity values, values adding up beyond the range
// of doubles, a rounded value beyond 32 bits) stop the command before any file is written; more
// than ClassCapacity classes stops it after the sorted and percentile files, without the counts
// file.
void SortForBootstrapResults(AnalysisState& state, Services& services);

// Runs the utility and then, unless the file held PBT or CPT results or more than
// ViewedClassLimit classes, shows MSChart1, hides MSChart2 and offers the frequency view.
void AskAndRunSortCount(AnalysisState& state, Services& services);

// The utility's two computing steps, shared by the dialogue flow and SortAndCount. The first
// sorts SortedDifferences(1..n) in place, rounded to DecimalLimit when asked, with the original
// serials in SortOutputSerial (a rounded value beyond 32 bits stops the command, naming
// `fileName`); the second counts the classes of equal values into ClassValue, ClassFrequency and
// ClassCount (a value joins the current class within 1E-12 of the class's first value), false
// when there are more than ClassCapacity.
void SortLoadedValues(AnalysisState& state, std::int32_t n, const std::string& fileName);
bool CountClasses(AnalysisState& state, std::int32_t n);

// The three output files of the utility, named from OutputBaseName, SortVariableName and
// DecimalLimit as the last run left them.
struct SortCountFiles {
    std::filesystem::path Sorted;
    std::filesystem::path Percentile;
    std::filesystem::path Counts;
};
SortCountFiles SortCountFileNames(const AnalysisState& state);

}  // namespace vortel
