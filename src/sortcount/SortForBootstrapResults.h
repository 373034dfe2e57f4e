// The sort-and-count utility's steps: reading, sorting, counting and the names of its files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vortel {

struct PairScratch;
struct SessionFiles;
struct SortCountRecord;
struct SortHandOver;

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

// The kinds of data the utility sorts, as SortDataKind holds them.
inline constexpr const char* KindGeneral = "General";
inline constexpr const char* KindBoot = "Boot";
inline constexpr const char* KindResults = "PBT or CPT results";

// The utility's two computing steps, shared by SortAndCountFile and SortAndCount. The first
// sorts SortedDifferences(1..n) in place, rounded to DecimalLimit when asked, with the original
// serials in SortOutputSerial (a rounded value beyond 32 bits stops the command, naming
// `fileName`); the second counts the classes of equal values into ClassValue, ClassFrequency and
// ClassCount (a value joins the current class within 1E-12 of the class's first value), false
// when there are more than ClassCapacity.
void SortLoadedValues(PairScratch& work, SortHandOver& handOver, SessionFiles& files,
                      const SortCountRecord& sort, std::int32_t n, const std::string& fileName);
bool CountClasses(PairScratch& work, SortCountRecord& sort, std::int32_t n);

// The three output files of the utility, named from OutputBaseName, SortVariableName and
// DecimalLimit as the last run left them.
struct SortCountFiles {
    std::filesystem::path Sorted;
    std::filesystem::path Percentile;
    std::filesystem::path Counts;
};
SortCountFiles SortCountFileNames(const SessionFiles& files, const SortCountRecord& sort);

}  // namespace vortel
