#include "sortcount/SortForBootstrapResults.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "shell/base/TableReader.h"
#include "shell/base/TextRecords.h"
#include "shell/state/AnalysisState.h"
#include "shell/state/Dialogues.h"
#include "sortcount/NormalityView.h"
#include "sortcount/SortCount.h"
#include "sorting/QuickSort.h"

namespace vortel {

namespace {

// The parts of the record the utility reads and leaves.
struct SortParts {
    SortCountRecord& sort;
    // Treatment 1: the header of a file of bootstrap values; the variable's name.
    Treatments& treatments;
    // The values to sort, their serials, and the sort's working lists.
    PairScratch& work;
    SortHandOver& handOver;
    // The project's name, and the version its files name.
    ReportHeader& header;
    // The base name of the files, and the flow record.
    SessionFiles& files;
};

bool IsGeneral(const SortParts& state) { return state.sort.SortDataKind == KindGeneral; }

// The input path without its extension (its last four characters), but never reaching into
// the folder part: a short name without an extension would otherwise put the files elsewhere.
std::string BaseNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    const std::size_t nameLength =
        separator == std::string::npos ? path.size() : path.size() - separator - 1;
    return path.substr(0, path.size() - std::min<std::size_t>(4, nameLength));
}

[[noreturn]] void NoValues(const InputFields& in) {
    throw RunStopped("File \"" + in.Name() + "\" holds no values to sort; no files were written.");
}

[[noreturn]] void TooManyValues(const InputFields& in) {
    throw RunStopped("File \"" + in.Name() + "\" holds more than " + Text(ListCapacity) +
                     " values, the most the utility can sort; no files were written.");
}

void ReadHeader(const SortParts& state, InputFields& in) {
    if (IsGeneral(state)) {
        state.header.ProjectName = in.ReadText("project name");
        in.ReadAny("second field");
        state.treatments.CurrentParameterName = in.ReadText("variable name");
        state.sort.SortVariableName = state.treatments.CurrentParameterName;
        return;
    }
    state.treatments.TreatmentName(1) = in.ReadText("treatment name");
    in.ReadAny("second field");
    state.treatments.SampleSize(1) = in.ReadInt32("sample size");
    in.ReadAny("fourth field");
    state.treatments.BootstrapNumber(1) = in.ReadInt32("bootstrap number B");
    state.sort.SortVariableName = in.ReadText("variable name");
    state.sort.SortFieldA = in.ReadAny("field A");
    state.treatments.OriginalMean(1) = in.ReadDouble("original mean");
    if (state.sort.SortDataKind == KindResults) {
        in.ReadAny("ninth field");
        in.ReadAny("tenth field");
    }
}

// Reads the values into SortedDifferences(1..n) and returns n with their sum.
std::int32_t ReadValues(const SortParts& state, InputFields& in, double& sum) {
    const bool serials = state.sort.SortSerialNumbers;
    const bool general = IsGeneral(state);
    // A general list ends at the file's end or at the marker; a bootstrap list after B values.
    const std::int64_t last =
        general ? std::int64_t{ListCapacity} + 1 : state.treatments.BootstrapNumber(1);
    sum = 0;
    std::int32_t n = 0;
    if (in.AtEnd()) return 0;
    for (std::int64_t k = 1; k <= last; ++k) {
        double value = 0;
        if (serials) {
            const std::int32_t serial = in.ReadInt32("serial number");
            if (general && serial == -1) {
                if (!in.AtEnd()) in.ReadAny("value after the end marker");
                break;
            }
            value = in.ReadDouble("value");
        } else {
            value = in.ReadDouble("value");
            if (general && value == -1) break;
        }
        if (!ValueCountFits(k)) TooManyValues(in);
        state.work.SortedDifferences(k) = value;
        sum += value;
        n = static_cast<std::int32_t>(k);
        if (in.AtEnd()) break;
    }
    return n;
}

// The column of a table to sort: the only one, the one named beforehand, or the one the user
// names when asked.
std::size_t ChooseColumn(const SortParts& state, const ColumnQuestion& askColumn,
                         const TableReader& table, const std::vector<std::string>& names) {
    std::string listed;
    for (const std::string& name : names) listed += (listed.empty() ? "" : ", ") + name;
    std::string wanted = state.sort.SortColumnName;
    if (wanted.empty()) {
        if (names.size() == 1) return 0;
        const std::string prompt = "Table \"" + table.Name() + "\" has the columns " + listed +
                                   ".\nEnter the name of the column to sort.";
        wanted = std::string(TrimmedCell(askColumn ? askColumn(prompt, names.back()) : ""));
        if (wanted.empty()) {
            throw RunStopped("No column of table \"" + table.Name() + "\" was named (it has " +
                             listed + "); nothing was sorted.");
        }
    }
    for (std::size_t c = 0; c < names.size(); ++c)
        if (LowerCase(names[c]) == LowerCase(wanted)) return c;
    throw RunStopped(table.Where(1, 0) + "no column is named \"" + wanted + "\"; its columns are " +
                     listed + ". Nothing was sorted.");
}

// A column of a table in place of a file's values. Rows labelled n, original and parameter in
// the first column (as in a table of treatments) give the header fields of bootstrap results;
// every other non-empty cell of the column is a value, and empty cells may end the column.
std::int32_t ReadTableColumn(const SortParts& state, const ColumnQuestion& askColumn,
                             const std::string& path, double& sum) {
    TableReader table = TableReader::Open(path);
    std::vector<std::string> names;
    while (table.Next() && table.Blank()) {
    }
    for (const TableCell& c : table.Cells()) names.emplace_back(TrimmedCell(c.Text));
    if (names.empty()) throw RunStopped("Table \"" + path + "\" is empty; no files were written.");
    const std::size_t column = ChooseColumn(state, askColumn, table, names);
    const std::string& name = names[column];
    std::optional<double> n, original;
    std::string parameter;
    std::int64_t endedAt = 0;
    sum = 0;
    std::int32_t count = 0;
    while (table.Next()) {
        const auto cells = table.Cells();
        const std::string_view text =
            column < cells.size() ? TrimmedCell(cells[column].Text) : std::string_view{};
        const std::string label =
            column > 0 && !cells.empty() ? LowerCase(TrimmedCell(cells[0].Text)) : "";
        const auto number = [&](std::string_view what) {
            double x = 0;
            if (!CellNumber(text, table.DecimalComma(), x))
                throw RunStopped(table.Where(table.Row(), column + 1, name) + QuotedCell(text) +
                                 " is not " + std::string(what) + "; no files were written.");
            return x;
        };
        if (label == "n" || label == "original") {
            (label == "n" ? n : original) = number("a number");
            continue;
        }
        if (label == "parameter") {
            parameter = std::string(text);
            continue;
        }
        if (text.empty()) {
            if (!endedAt) endedAt = table.Row();
            continue;
        }
        if (endedAt) {
            throw RunStopped(table.Where(table.Row(), column + 1, name) +
                             "a value follows the empty cell of row " + Text(endedAt) +
                             "; a column may end early, but not leave gaps. No files were "
                             "written.");
        }
        const double x = number("a number");
        CheckValueCount(std::int64_t{count} + 1, [&] {
            return "Table \"" + path + "\" holds more than " + Text(ListCapacity) +
                   " values in column " + name +
                   ", the most the utility can sort; no files were written.";
        });
        ++count;
        state.work.SortedDifferences(count) = x;
        sum += x;
    }
    state.treatments.CurrentParameterName = parameter.empty() ? name : parameter;
    state.sort.SortVariableName = state.treatments.CurrentParameterName;
    if (IsGeneral(state)) {
        state.header.ProjectName = name;
        return count;
    }
    // Bootstrap results carry the sample size and the estimate from the original data into
    // every file; a table that does not give them is not guessed at.
    if (!n || !original || !(*n >= 1) || *n != std::floor(*n) || *n > 2147483647.0) {
        throw RunStopped(table.Where(1, column + 1, name) +
                         "bootstrap results need the sample size n (a whole number above 0) and "
                         "the original estimate: add rows labelled n and original to the "
                         "table's first column, or sort the column as general data. No files "
                         "were written.");
    }
    state.treatments.TreatmentName(1) = name;
    state.treatments.SampleSize(1) = static_cast<std::int32_t>(*n);
    state.treatments.OriginalMean(1) = *original;
    state.sort.SortFieldA.IsNumber = true;
    state.sort.SortFieldA.Number = *n;
    state.sort.SortFieldA.Text = Text(*n);
    state.treatments.BootstrapNumber(1) = count;
    return count;
}

// Hands the values to the sort, rounded to DecimalLimit when asked; the values themselves stay
// as read.
void PrepareSort(PairScratch& work, const SortCountRecord& sort, std::int32_t n,
                 const std::string& fileName) {
    const double* values = work.SortedDifferences.Through(n);
    double* input = work.SortInput.Through(n);
    std::int32_t* serial = work.SortInputSerial.Through(n);
    const bool rounding = sort.DecimalLimit != -1;
    const double p = rounded::Pow(10.0, sort.DecimalLimit);
    for (std::int32_t k = 1; k <= n; ++k) {
        serial[k] = k;
        if (!rounding) {
            input[k] = values[k];
            continue;
        }
        const double scaled = std::floor(values[k] * p + 0.5);
        if (!(scaled >= -2147483648.0 && scaled <= 2147483647.0)) {
            throw RunStopped("Value " + Text(values[k]) + " (number " + Text(k) + " of file \"" +
                             fileName + "\") cannot be rounded to " + Text(sort.DecimalLimit) +
                             " decimals: scaled, it lies beyond the 32-bit range; no files were "
                             "written.");
        }
        input[k] = scaled / p;
    }
    work.SortCount = n;
}

}  // namespace

void SortLoadedValues(PairScratch& work, SortHandOver& handOver, SessionFiles& files,
                      const SortCountRecord& sort, std::int32_t n, const std::string& fileName) {
    PrepareSort(work, sort, n, fileName);
    QuickSort(work, handOver, files);
    const double* output = work.SortOutput.Through(n);
    double* values = work.SortedDifferences.Through(n);
    for (std::int32_t k = 1; k <= n; ++k) values[k] = output[k];
}

namespace {

void WriteSortedHeader(const SortParts& state, std::int32_t n, TextWriter& out) {
    if (IsGeneral(state)) {
        out.Write("Project: " + state.header.ProjectName);
        out.Write("Sample size =", n);
        out.Write("Sample mean = ", state.sort.SortSampleMean);
    } else {
        const Variant& a = state.sort.SortFieldA;
        out.Write("Project: " + state.header.ProjectName + " " + state.header.VersionText);
        out.Write("Original mean =", state.treatments.OriginalMean(1));
        out.Write("Bootstrap sample size (n) = ", state.treatments.SampleSize(1));
        out.Write("Total effective bootstrap number (B) = ", n);
        out.Write("Sample size or mean (A)= " + (a.IsNumber ? Text(a.Number) : a.Text) +
                  ", (B)=" + Text(state.sort.SortSampleMean));
        out.Write("Variable: " + state.treatments.TreatmentName(1));
    }
    out.Write("Sorted serial no.", "Original serial no.", "Sorted data");
}

// The sorted values with their original serials, and beside them the serials found at the
// 2.5 %, 50 % and 97.5 % ranks where those ranks fall exactly on a position.
void WriteSortedAndPercentileFiles(const SortParts& state, std::int32_t n, TextWriter& sorted,
                                   TextWriter& percentile) {
    WriteSortedHeader(state, n, sorted);
    const double* values = state.work.SortedDifferences.Through(n);
    const std::int32_t* serials = state.work.SortOutputSerial.Through(n);
    const double count = n;
    for (std::int32_t k = 1; k <= n; ++k) {
        sorted.Write(k, serials[k], values[k]);
        const char* rank = nullptr;
        if (count * 0.025 == k)
            rank = "0.025";
        else if (count * 0.5 == k)
            rank = "0.5";
        else if (count * 0.975 == k)
            rank = "0.975";
        if (rank) {
            percentile.Write(std::string("The ") + rank + " percentile life table of " +
                             state.sort.SortVariableName + " is " + Text(serials[k]));
        }
    }
}

}  // namespace

bool CountClasses(PairScratch& work, SortCountRecord& sort, std::int32_t n) {
    const double* values = work.SortedDifferences.Through(n);
    const std::int32_t cleared = n < ClassCapacity ? n : ClassCapacity;
    double* classValue = sort.ClassValue.Through(cleared);
    double* frequency = sort.ClassFrequency.Through(cleared);
    for (std::int32_t g = 1; g <= cleared; ++g) frequency[g] = 0;
    std::int32_t classes = 1;
    classValue[1] = values[1];
    frequency[1] = 1;
    for (std::int32_t k = 2; k <= n; ++k) {
        if (std::fabs(values[k] - classValue[classes]) < 1e-12) {
            frequency[classes] += 1;
            continue;
        }
        if (classes == ClassCapacity) {
            sort.ClassCount = 0;
            return false;
        }
        ++classes;
        classValue[classes] = values[k];
        frequency[classes] = 1;
    }
    sort.ClassCount = classes;
    return true;
}

namespace {

void WriteCountsFile(const SortParts& state, std::int32_t n, TextWriter& out) {
    if (IsGeneral(state)) {
        out.Write("Project: " + state.header.ProjectName);
        out.Write("Sample size =", n);
        out.Write("Sample mean = ", state.sort.SortSampleMean);
        out.Write("Total classes =", state.sort.ClassCount);
    } else {
        const Variant& a = state.sort.SortFieldA;
        out.Write("Project: " + state.header.ProjectName + " " + state.header.VersionText);
        out.Write("Sample size or Original mean (A) =" + (a.IsNumber ? Text(a.Number) : a.Text) +
                      ", (B)=",
                  state.treatments.OriginalMean(1));
        out.Write("Next line is sample size");
        out.Write(state.treatments.SampleSize(1));
        out.Write("Total effective bootstrap number (B) = ", n,
                  "Total classes =", state.sort.ClassCount);
    }
    out.Write("Group serial no.", "Value", "Count");
    const double* classValue = state.sort.ClassValue.Data();
    const double* frequency = state.sort.ClassFrequency.Data();
    for (std::int32_t g = 1; g <= state.sort.ClassCount; ++g)
        out.Write(g, classValue[g], frequency[g]);
}

}  // namespace

SortCountFiles SortCountFileNames(const SessionFiles& files, const SortCountRecord& sort) {
    const std::string& base = files.OutputBaseName;
    const std::string variable = FileNamePiece(sort.SortVariableName);
    SortCountFiles f;
    if (sort.DecimalLimit == -1) {
        f.Sorted = base + "-2_Sorted.txt";
        f.Percentile = base + "-1_0.025, 0.5 and 0.975 " + variable + ".txt";
        f.Counts = base + "-3_Sorted and counts.txt";
    } else {
        const std::string d = Text(sort.DecimalLimit);
        f.Sorted = base + "-2_Sorted-" + d + " decimals.txt";
        f.Percentile = base + "-1_0.025, 0.5 and 0.975 " + variable + d + " decimals.txt";
        f.Counts = base + "-3_Sorted and counts-" + d + " decimals.txt";
    }
    return f;
}

namespace {

// Reads the chosen file, or a column of a chosen table, into SortedDifferences(1..n);
// leaves its header fields, SortFilePath, OutputBaseName, BootstrapNumber(1) = n and
// SortSampleMean.
std::int32_t ReadChosenFile(const SortParts& state, const ColumnQuestion& askColumn,
                            const std::string& path) {
    state.sort.SortFilePath = path;
    state.files.OutputBaseName = BaseNameOf(path);
    double sum = 0;
    std::int32_t n = 0;
    if (IsTableFile(path)) {
        n = ReadTableColumn(state, askColumn, path, sum);
        if (n == 0)
            throw RunStopped("Table \"" + path +
                             "\" holds no values to sort in that column; no files were written.");
    } else {
        InputFields in = InputFields::Open(path);
        ReadHeader(state, in);
        n = ReadValues(state, in, sum);
        if (n == 0) NoValues(in);
    }
    // Values near the largest double can add up past it; their mean, and the sort's split
    // points, would then be meaningless.
    if (!std::isfinite(sum)) {
        throw RunStopped("The values of file \"" + path +
                         "\" add up beyond the range of numbers; no files were written.");
    }
    state.treatments.BootstrapNumber(1) = n;
    state.sort.SortSampleMean = sum / n;
    return n;
}

// Sorts the n values read, counts their classes and writes the three files beside the
// input.
void SortAndWrite(const SortParts& state, const SortCountControl& control, std::int32_t n,
                  const std::string& path) {
    SortLoadedValues(state.work, state.handOver, state.files, state.sort, n, path);

    // All three files are created before any is written and put in place together, so a
    // file that cannot be made or finished leaves every earlier file of these names as it
    // was.
    const SortCountFiles names = SortCountFileNames(state.files, state.sort);
    OutputSet files(control.Output);
    TextWriter& sorted = files.Create(names.Sorted).Writer();
    TextWriter& percentile = files.Create(names.Percentile).Writer();
    OutputFile& countsFile = files.Create(names.Counts);
    WriteSortedAndPercentileFiles(state, n, sorted, percentile);
    if (!CountClasses(state.work, state.sort, n)) {
        files.Discard(countsFile);
        files.CommitAll();
        if (control.FilesWritten)
            control.FilesWritten({{"Sorted values", names.Sorted.string()},
                                  {"Percentile serials", names.Percentile.string()}});
        throw RunStopped("File \"" + path + "\" holds more than " + Text(ClassCapacity) +
                         " classes of different values, more than the counts table holds. "
                         "The sorted and percentile files were written; the counts file was not.");
    }
    WriteCountsFile(state, n, countsFile.Writer());
    files.CommitAll();
    if (control.FilesWritten)
        control.FilesWritten({{"Sorted values", names.Sorted.string()},
                              {"Percentile serials", names.Percentile.string()},
                              {"Class counts", names.Counts.string()}});
}

const char* KindText(SortCountRequest::Kind kind) {
    switch (kind) {
        case SortCountRequest::Kind::General:
            return KindGeneral;
        case SortCountRequest::Kind::Boot:
            break;
        case SortCountRequest::Kind::Results:
            return KindResults;
    }
    return KindBoot;
}

}  // namespace

SortCountFileResult SortAndCountFile(const SortCountFileRequest& request,
                                     OutputTransaction* output) {
    SortCountControl control;
    control.Output = output;
    return SortAndCountFile(request, control);
}

SortCountFileResult SortAndCountFile(const SortCountFileRequest& request,
                                     const SortCountControl& control) {
    if (!control.AskDecimals && !(request.Decimals >= -1 && request.Decimals <= 5))
        throw RunStopped("Decimals are -1 (full precision) or 0 to 5, not " +
                         Text(request.Decimals) + ".");
    // The state is large in fields but small until values are put in it.
    std::unique_ptr<AnalysisState> fresh;
    if (!control.Session) {
        fresh = std::make_unique<AnalysisState>();
        SetEditionValues(*fresh);
    }
    AnalysisState& s = control.Session ? *control.Session : *fresh;
    s.SortDataKind = KindText(request.DataKind);
    s.SortSerialNumbers = request.Serials;
    s.SortUtilityUsed = true;
    s.SortColumnName = request.Column;
    const std::string path = ChosenPath(request.File);
    // Without a question, a table of several columns with none named is refused as an
    // unanswered question is.
    const SortParts parts{s, s, s, s, s, s};
    const std::int32_t n = ReadChosenFile(parts, control.AskColumn, path);
    s.DecimalLimit = control.AskDecimals ? control.AskDecimals() : request.Decimals;
    SortAndWrite(parts, control, n, path);

    SortCountFileResult r;
    r.Files = SortCountFileNames(s, s);
    r.ClassCount = s.ClassCount;
    if (request.DataKind != SortCountRequest::Kind::Results && s.ClassCount <= ViewedClassLimit)
        r.View = MakeNormalityData(s, s);
    return r;
}

}  // namespace vortel
