// The sort-and-count utility as one call, for any front end: values in as data, the sorted
// values, their percentile ranks, the classes and the frequency view's data back as a value. No
// dialogue, no widget and no file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/state/Window.h"
#include "sortcount/NormalityView.h"
#include "sortcount/SortForBootstrapResults.h"

namespace vortel {

class OutputTransaction;
struct AnalysisState;

struct SortCountRequest {
    enum class Kind { General, Boot, Results };
    // The values in file order (a file's serial numbers, where it has them, are its reading's
    // business: the values are numbered 1, 2, ... as read).
    std::vector<double> Values;
    Kind DataKind = Kind::Boot;
    // Decimals the sorted copy is rounded to (0 to 5), or -1 for full precision.
    int Decimals = -1;
    // The treatment (or project) and the variable, as the frequency view names them.
    std::string TreatmentName;
    std::string VariableName;
};

struct SortedValue {
    double Value = 0;
    std::int32_t Serial = 0;  // its place among the values as given, from 1
};

struct SortCountResult {
    std::vector<SortedValue> Sorted;  // increasing, rounded when asked
    double Mean = 0;                  // of the values as given
    // The serials at the ranks 2.5 %, 50 % and 97.5 % of n, where a rank falls exactly on a
    // place (0 where it does not).
    std::int32_t Percentile025 = 0, Percentile50 = 0, Percentile975 = 0;
    // Classes of equal values (within 1E-12 of a class's first value), increasing.
    std::vector<FrequencyClass> Classes;
    // The frequency view's data; not for PBT or CPT results, nor beyond ViewedClassLimit
    // classes.
    bool HasView = false;
    NormalityData View;
};

// The utility on a file, its questions answered by the request: the values are read, refused
// and sorted exactly as when the file is chosen in the window, and the sorted, percentile and
// counts files written beside it, committed through `output` (none: at once).
struct SortCountFileRequest {
    std::string File;  // bootstrap results, a general data file, or a table (.csv)
    SortCountRequest::Kind DataKind = SortCountRequest::Kind::Boot;
    bool Serials = false;  // a serial number before every value
    std::string Column;    // a table's column to sort; empty: its only one
    double Decimals = -1;  // as SortCountRequest's
};

struct SortCountFileResult {
    SortCountFiles Files;  // the three files, by their whole paths
    std::int32_t ClassCount = 0;
    // The frequency view's data; none for PBT or CPT results, nor beyond ViewedClassLimit
    // classes.
    std::optional<NormalityData> View;
};

// Asked, when a table of several columns is read and the request names none, for the column to
// sort: `prompt` lists the columns, `suggested` is the last. Empty: none named.
using ColumnQuestion =
    std::function<std::string(const std::string& prompt, const std::string& suggested)>;

// What a front end with a user to ask gives the utility besides the request.
struct SortCountControl {
    OutputTransaction* Output = nullptr;  // keeps earlier files until its command is done
    // The front end's record of its session: the utility leaves its values in it (the base name
    // a later flow record takes, the project a later report names). None: a fresh record.
    AnalysisState* Session = nullptr;
    // A table's column when the request names none; none: the table is refused.
    ColumnQuestion AskColumn{};
    // The decimals, asked once the file is read (a refused file is told before they are
    // asked); none: the request's.
    std::function<double()> AskDecimals{};
    // Told of the files as they are put in place (the sorted and percentile files stay when
    // the counts file is refused).
    std::function<void(const std::vector<WrittenFile>&)> FilesWritten{};
};

// Stops with RunStopped naming the file, value or limit at fault, with nothing written; more
// classes than the counts table holds stop it after the sorted and percentile files are written.
SortCountFileResult SortAndCountFile(const SortCountFileRequest& request,
                                     OutputTransaction* output);
SortCountFileResult SortAndCountFile(const SortCountFileRequest& request,
                                     const SortCountControl& control);

// Refuses, with RunStopped naming the value or limit, what the utility refuses: no values, more
// than the lists hold, values adding up beyond the range of numbers, a rounded value beyond the
// 32-bit range, more classes than the counts table holds, decimals outside -1 to 5.
SortCountResult SortAndCount(const SortCountRequest& request);

}  // namespace vortel
