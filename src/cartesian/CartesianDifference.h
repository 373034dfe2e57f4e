// Treatment input of the Cartesian paired test: how many treatments, which transformation, one
// bootstrap-result file each, ordered by their bootstrap means.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/state/TestQuestions.h"

namespace vortel {

struct ReportHeader;
struct SessionFiles;
struct TestOptions;
struct TestResults;
struct Treatments;
class StopToken;
struct TableTreatment;

// The name every file of a test starts with, set by treatment input.
inline constexpr const char* TestBaseName = "25A-Cartesian diff";
// The title of the notice that a table is read with a decimal comma.
inline constexpr const char* TableNoteTitle = "Table read";
// The file dialogue's title for treatment t.
std::string TreatmentFileTitle(int t);

// The parts of a session's record treatment input reads and leaves.
struct TreatmentInputParts {
    // ReversedSort and TableParameterName.
    const TestOptions& options;
    Treatments& treatments;
    // SidakAlpha.
    TestResults& results;
    // The tables' rules.
    ReportHeader& header;
    // OutputBaseName.
    SessionFiles& files;
};

// Treatment input with the files chosen one at a time (TestQuestions::TreatmentFile), each read
// and checked before the next is asked for; a table takes an entry for each of its treatments.
// Reads ReversedSort. Leaves TreatmentCount, PairCount, SidakAlpha, the table rules,
// OutputBaseName, CurrentParameterName, and positions 1..n of every per-treatment field
// (TreatmentName, TreatmentFile, ParameterName, SampleSize, BootstrapNumber,
// BootstrapNumberReal, OriginalMean, BootstrapValues, ValueFlag) in decreasing order of the
// bootstrap means (increasing with ReversedSort). A file not chosen or refused stops the command
// before a later file is asked for; no file is written.
void ChooseTreatmentFiles(const TreatmentInputParts& parts, std::int16_t n, int transformation,
                          TestQuestions& questions, const StopToken* stop);

// How many treatments the files hold, a table as many as it has (read with `tableParameter`, its
// decimal comma told to `note`); more than MostTreatments stop the command.
std::int64_t TreatmentsInFiles(const std::vector<std::string>& paths,
                               const std::string& tableParameter,
                               const std::function<void(const std::string&)>& note);

// Treatment input from files named beforehand (a command line's), without a question: as many
// treatments as the files hold, a table counting for each of its own, each file read, named and
// refused exactly as when it is chosen in the file dialogue, with the table parameter of `parts`.
// Leaves what CartesianDifference leaves, the options aside. `note` receives the notice that a
// table is read with a decimal comma. Fewer than 2 treatments or more than MostTreatments stop the
// command, as does a stop request before a file is read.
void ReadTreatmentFiles(const TreatmentInputParts& parts, const std::vector<std::string>& paths,
                        int transformation, const std::function<void(const std::string&)>& note,
                        const StopToken* stop);

// A treatment file's values as each of treatment input's two passes takes them (transformed;
// the -1 marker last where the pass met it), with the first pass's sum for the order.
struct FileValues {
    struct Pass {
        std::vector<double> Values;
        std::int32_t Read = 0;  // values before the marker
        bool Marker = false;
        double Sum = 0;  // for the first pass's sorting mean
    };
    int Transformation = 0;
    Pass First, Second;
};

// Both passes over the treatment file at `path`, refusing what treatment input refuses in it.
FileValues ReadFileValues(const std::string& path, int transformation, const StopToken* stop);

// The passes of the file at `path` read by another instance of the core from the same bytes
// (the browser page's workers each read some of a test's files): treatment input then takes
// them instead of parsing the file's values again. Kept until ForgetGivenFileValues.
void GiveFileValues(const std::string& path, FileValues values);
void ForgetGivenFileValues();

// Treatments given as values rather than files, in entry order: each is transformed, and all are
// ordered by their means and placed exactly as treatment input places a table's treatments (the
// values are moved out of `treatments`). Leaves what CartesianDifference leaves, the options
// aside. Values outside the transformation's domain stop the command, naming the treatment.
void EnterTreatments(const TreatmentInputParts& parts, std::vector<TableTreatment>& treatments,
                     int transformation);

// The shape of a test of n treatments: TreatmentCount, PairCount, SidakAlpha and the tables'
// rules.
void SetTreatmentCount(Treatments& treatments, TestResults& results, ReportHeader& header,
                       std::int16_t n);

// Exchange ordering of positions 1..n by SortingMean: decreasing, increasing with ReversedSort.
// Moves SortingMean, EntryNumber, TreatmentName and BootstrapNumberReal; EntryNumber(l) then
// names the entry whose treatment goes to position l.
void OrderTreatments(const TestOptions& options, Treatments& treatments, std::int16_t n);

// The transformation of one bootstrap value: 0 none, 1 arcsine of the square root, 2 logit.
// A value outside the transformation's domain stops the command, naming the file (or, when
// `file` is false, the source as given).
double TransformValue(double x, int transformation, const std::string& fileName, bool file = true);

}  // namespace vortel
