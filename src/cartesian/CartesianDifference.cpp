#include "cartesian/CartesianDifference.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cartesian/TreatmentTable.h"
#include "cartesian/result/CartesianResult.h"
#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"
#include "shell/base/TextRecords.h"
#include "shell/state/Dialogues.h"
#include "shell/state/ReportHeader.h"
#include "shell/state/SessionFiles.h"
#include "shell/state/TestOptions.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

namespace {

constexpr double EndMarker = -1;
// A file of a million values takes a tenth of a second or more to read: a stop is looked at
// every so many values, not only between files.
constexpr std::int32_t StopCheckEvery = 1 << 16;

// Tables read in this test, by their whole path: a table counted for the suggested number of
// treatments is not read again when its turn comes.
class TableShelf {
public:
    // `note` receives the notice that a table is read with a decimal comma.
    TableShelf(std::string parameter, std::function<void(const std::string&)> note)
        : m_parameter(std::move(parameter)), m_note(std::move(note)) {}

    TreatmentTable& At(const std::string& path) {
        std::error_code ec;
        std::string key = std::filesystem::absolute(path, ec).string();
        if (ec) key = path;
        auto it = m_tables.find(key);
        if (it != m_tables.end()) return it->second;
        TreatmentTable table = ReadTreatmentTable(path, m_parameter);
        if (table.DecimalComma) {
            m_note("Table \"" + path +
                   "\" has ; between its cells, so its numbers are read with a decimal comma "
                   "(0,25 is a quarter).");
        }
        return m_tables.emplace(key, std::move(table)).first->second;
    }

private:
    std::string m_parameter;
    std::function<void(const std::string&)> m_note;
    std::map<std::string, TreatmentTable> m_tables;
};

// How many treatments the files given ahead hold, a table as many as it has; more than a test
// compares abandons it.
std::int64_t TreatmentsHeld(const std::vector<std::string>& paths, TableShelf& tables) {
    std::int64_t held = 0;
    for (const std::string& path : paths)
        held +=
            IsTableFile(path) ? static_cast<std::int64_t>(tables.At(path).Treatments.size()) : 1;
    CheckTreatmentCount(
        static_cast<double>(held),
        [&] {
            return "The files given hold " + Text(held) + " treatments; a test compares 2 to " +
                   Text(MostTreatments) + ". The test is abandoned.";
        },
        0);
    return held;
}

struct Header {
    std::string Name;
    std::int32_t SampleSize = 0;
    std::int32_t BootstrapNumber = 0;
    std::string Parameter;
    double OriginalMean = 0;
};

Header ReadHeader(InputFields& in) {
    Header h;
    h.Name = in.ReadText("treatment name");
    in.ReadAny("field 2");
    h.SampleSize = in.ReadInt32("sample size");
    in.ReadAny("field 4");
    h.BootstrapNumber = in.ReadInt32("bootstrap number B");
    CheckValueCount(
        h.BootstrapNumber,
        [&] {
            return "File \"" + in.Name() + "\", field 5: the bootstrap number B is " +
                   Text(h.BootstrapNumber) + "; it must be 1 to " + Text(ListCapacity) + ".";
        },
        1);
    h.Parameter = in.ReadText("parameter name");
    h.SampleSize = in.ReadInt32("sample size n");
    h.OriginalMean = in.ReadDouble("original mean");
    return h;
}

// The header fields both reading passes keep at the treatment's position.
void StoreHeader(Treatments& state, std::int16_t t, const Header& h) {
    state.TreatmentName(t) = h.Name;
    state.SampleSize(t) = h.SampleSize;
    state.BootstrapNumber(t) = h.BootstrapNumber;
    state.ParameterName(t) = h.Parameter;
    state.OriginalMean(t) = h.OriginalMean;
}

[[noreturn]] void EndedEarly(const InputFields& in, std::int32_t read, std::int32_t b) {
    throw RunStopped("File \"" + in.Name() + "\" ends after " + Text(read) + " of its " + Text(b) +
                     " bootstrap values (field " + Text(in.FieldNumber()) +
                     ") without the -1 marker.");
}

// Puts what one reading pass took from a file at positions 1, 2, ... of the treatment's list
// (a closing marker included) and flags the first `read` positions as values.
void KeepValues(Treatments& state, std::int16_t t, const std::vector<double>& values,
                std::int32_t read) {
    if (values.empty()) return;
    const auto last = static_cast<std::int64_t>(values.size());
    std::copy(values.begin(), values.end(), state.BootstrapValues.List(t).Through(last) + 1);
    std::int16_t* flags = state.ValueFlag.Through(std::max<std::int64_t>(read, 1));
    std::fill(flags + 1, flags + 1 + read, std::int16_t{1});
}

}  // namespace

std::string TreatmentFileTitle(int t) { return "Input treatment " + Text(t); }

double TransformValue(double x, int transformation, const std::string& fileName, bool file) {
    const auto where = [&] { return file ? "File \"" + fileName + "\"" : fileName; };
    switch (transformation) {
        case 1:
            if (!(x >= 0 && x <= 1)) {
                throw RunStopped(where() + ": the value " + NumberText(x) +
                                 " has no arcsine transformation (it must lie from 0 to 1).");
            }
            break;
        case 2:
            if (!(x > 0 && x < 1)) {
                throw RunStopped(where() + ": the value " + NumberText(x) +
                                 " has no logit transformation (it must lie between 0 and 1).");
            }
            break;
        default:
            return x;
    }
    return TransformedValue(x, static_cast<Transformation>(transformation));
}

namespace {

// One pass over the values of a file whose header promises b. The first pass reads the value
// after B only to see whether the list goes on (a B that fills the lists leaves it no position,
// so such a file is refused by name when it has one); the second takes at most B values. Both
// keep the marker when it comes first.
FileValues::Pass ReadPass(InputFields& in, std::int32_t b, int transformation,
                          const StopToken* stop, bool first) {
    // Positions 1, 2, ... at 0, 1, ...: the lists grow to what the file holds, not to the
    // B its header claims.
    FileValues::Pass p;
    for (std::int32_t k = 1; k <= b + 1; ++k) {
        if (in.AtEnd()) EndedEarly(in, p.Read, b);
        CheckValueCount(k, [&] {
            return "File \"" + in.Name() + "\" holds more than " + Text(ListCapacity) +
                   " bootstrap values.";
        });
        if (k % StopCheckEvery == 0) StopIfRequested(stop);
        const double x = in.ReadDouble("bootstrap value", k);
        if (x == EndMarker) {
            p.Values.push_back(x);
            p.Marker = true;
            break;
        }
        p.Values.push_back(TransformValue(x, transformation, in.Name()));
        p.Sum += p.Values.back();
        ++p.Read;
        if (first ? in.AtEnd() : k == b) break;
    }
    if (p.Read == 0) throw RunStopped("File \"" + in.Name() + "\" holds no bootstrap values.");
    if (p.Read < b && !p.Marker) EndedEarly(in, p.Read, b);
    return p;
}

// Values another instance read from the same bytes (GiveFileValues), by whole path.
std::map<std::string, FileValues>& GivenValues() {
    static std::map<std::string, FileValues> given;
    return given;
}

const FileValues* GivenFor(const std::string& path, int transformation) {
    const auto& given = GivenValues();
    if (given.empty()) return nullptr;
    const auto it = given.find(ChosenPath(path));
    return it != given.end() && it->second.Transformation == transformation ? &it->second : nullptr;
}

// One pass's values: given, or read from `in` by `read`.
template <class Read>
FileValues::Pass PassOf(const FileValues* given, FileValues::Pass FileValues::*pass, Read read) {
    return given ? given->*pass : read();
}

// First pass over treatment t's file: chosen, read once, only to find the order of the
// treatments (its sorting mean).
void ReadForOrdering(Treatments& state, const std::string& path, std::int16_t t, int transformation,
                     const StopToken* stop) {
    state.EnteredFile(t) = path;
    InputFields in = InputFields::Open(state.EnteredFile(t));
    const Header h = ReadHeader(in);
    StoreHeader(state, t, h);
    state.BootstrapNumberReal(t) = h.BootstrapNumber;
    state.CurrentParameterName = h.Parameter;

    const std::int32_t b = h.BootstrapNumber;
    const FileValues::Pass p = PassOf(GivenFor(path, transformation), &FileValues::First,
                                      [&] { return ReadPass(in, b, transformation, stop, true); });
    KeepValues(state, t, p.Values, p.Read);
    if (p.Read < b) {
        // A list closed early by the marker counts what it holds, so no position beyond it
        // (a leftover of an earlier file) is ever taken as one of its values.
        state.BootstrapNumber(t) = p.Read;
        state.BootstrapNumberReal(t) = p.Read;
    } else if (p.Read > b) {
        state.BootstrapNumber(t) = p.Read;  // only for the sorting mean; restored below
    }
    state.SortingMean(t) = p.Sum / state.BootstrapNumber(t);
    state.EntryNumber(t) = t;
}

// Treatment values already read (a table's, or a caller's) take entry e: transformed where they
// stand and summed in order, as a treatment file's values are. `source` names them in messages.
void EnterValues(Treatments& state, const std::string& source, bool file, TableTreatment& tt,
                 std::int16_t e, int transformation, std::vector<TableTreatment*>& fromTable) {
    const auto b = static_cast<std::int32_t>(tt.Values.size());
    state.EnteredFile(e) = source;
    StoreHeader(state, e, {tt.Name, tt.SampleSize, b, tt.Parameter, tt.OriginalMean});
    state.BootstrapNumberReal(e) = b;
    state.CurrentParameterName = tt.Parameter;
    double sum = 0;
    for (double& x : tt.Values) {
        x = TransformValue(x, transformation, source, file);
        sum += x;
    }
    state.SortingMean(e) = sum / b;
    state.EntryNumber(e) = e;
    fromTable[static_cast<std::size_t>(e)] = &tt;
}

// The treatments of a table take entries t, t + 1, ... as if each had been chosen on its own;
// returns the entry after them.
std::int16_t EnterTable(Treatments& state, const std::string& path, TreatmentTable& table,
                        std::int16_t t, std::int16_t n, int transformation,
                        std::vector<TableTreatment*>& fromTable) {
    const auto held = static_cast<std::int16_t>(table.Treatments.size());
    if (t + held - 1 > n) {
        throw RunStopped("Table \"" + path + "\" holds " + Text(held) + " treatment" +
                         (held == 1 ? "" : "s") + ", but only " + Text(n - t + 1) + " of the " +
                         Text(n) +
                         " treatments entered were left to choose. Enter the number of treatments "
                         "that all the chosen files hold together. The test is abandoned.");
    }
    for (std::int16_t j = 0; j < held; ++j) {
        const TableTreatment& tt = table.Treatments[static_cast<std::size_t>(j)];
        for (std::int16_t u = 1; u < t + j; ++u) {
            if (state.TreatmentName(u) != tt.Name) continue;
            throw RunStopped("Table \"" + path + "\", row " + Text(tt.Row) + ", column " +
                             Text(std::int64_t(tt.Column)) + ": treatment \"" + tt.Name +
                             "\" has the name of treatment " + Text(u) + " (from \"" +
                             state.EnteredFile(u) + "\"); each treatment needs a name of its own.");
        }
    }
    for (std::int16_t j = 0; j < held; ++j) {
        const auto e = static_cast<std::int16_t>(t + j);
        EnterValues(state, path, true, table.Treatments[static_cast<std::size_t>(j)], e,
                    transformation, fromTable);
    }
    return static_cast<std::int16_t>(t + held);
}

// A treatment file named like a treatment of a table is refused as the table's would be.
void RefuseNameOfTable(const Treatments& state, std::int16_t t,
                       const std::vector<TableTreatment*>& fromTable) {
    for (std::int16_t u = 1; u < t; ++u) {
        const TableTreatment* tt = fromTable[static_cast<std::size_t>(u)];
        if (!tt || tt->Name != state.TreatmentName(t)) continue;
        throw RunStopped("File \"" + state.EnteredFile(t) + "\": treatment \"" + tt->Name +
                         "\" has the name of treatment " + Text(u) + " (from table \"" +
                         state.EnteredFile(u) + "\", row " + Text(tt->Row) + ", column " +
                         Text(std::int64_t(tt->Column)) +
                         "); each treatment needs a name of its own.");
    }
}

// Second pass for a treatment of a table: its values, already read and transformed, go to
// position l, and the table lets go of them.
void PlaceTableTreatment(Treatments& state, std::int16_t l, TableTreatment& tt) {
    state.TreatmentFile(l) = state.EnteredFile(state.EntryNumber(l));
    const auto b = static_cast<std::int32_t>(tt.Values.size());
    StoreHeader(state, l, {tt.Name, tt.SampleSize, b, tt.Parameter, tt.OriginalMean});
    KeepValues(state, l, tt.Values, b);
    state.BootstrapNumberReal(l) = b;
    std::vector<double>().swap(tt.Values);
}

// Second pass: the file of the treatment now at position l, read again into that position.
void ReadIntoPosition(Treatments& state, std::int16_t l, int transformation,
                      const StopToken* stop) {
    state.TreatmentFile(l) = state.EnteredFile(state.EntryNumber(l));
    InputFields in = InputFields::Open(state.TreatmentFile(l));
    const Header h = ReadHeader(in);
    StoreHeader(state, l, h);

    const std::int32_t b = h.BootstrapNumber;
    const FileValues::Pass p =
        PassOf(GivenFor(state.TreatmentFile(l), transformation), &FileValues::Second,
               [&] { return ReadPass(in, b, transformation, stop, false); });
    KeepValues(state, l, p.Values, p.Read);
    if (p.Read < b) state.BootstrapNumber(l) = p.Read;
    // The count travels with the treatment through the ordering; a file changed between
    // the two passes must not leave it disagreeing with the values now held.
    if (state.BootstrapNumberReal(l) != state.BootstrapNumber(l))
        state.BootstrapNumberReal(l) = state.BootstrapNumber(l);
}

}  // namespace

void OrderTreatments(const TestOptions& options, Treatments& state, std::int16_t n);

namespace {

// The treatments ordered by their means, then each entry's values put at its position: a
// table's (or a caller's) as they were read, a treatment file's read again.
void PlaceInOrder(const TestOptions& options, Treatments& state, std::int16_t n,
                  const std::vector<TableTreatment*>& fromTable, int transformation,
                  const StopToken* stop) {
    state.TransformationUsed = static_cast<std::int16_t>(transformation);
    OrderTreatments(options, state, n);
    for (std::int16_t l = 1; l <= n; ++l) {
        StopIfRequested(stop);
        if (TableTreatment* tt = fromTable[static_cast<std::size_t>(state.EntryNumber(l))])
            PlaceTableTreatment(state, l, *tt);
        else
            ReadIntoPosition(state, l, transformation, stop);
    }
}

}  // namespace

void OrderTreatments(const TestOptions& options, Treatments& state, std::int16_t n) {
    for (std::int16_t v = 1; v <= n - 1; ++v) {
        for (std::int16_t c = static_cast<std::int16_t>(v + 1); c <= n; ++c) {
            const bool exchange = options.ReversedSort
                                      ? state.SortingMean(v) > state.SortingMean(c)
                                      : !(state.SortingMean(v) >= state.SortingMean(c));
            if (!exchange) continue;
            std::swap(state.SortingMean(v), state.SortingMean(c));
            std::swap(state.EntryNumber(v), state.EntryNumber(c));
            std::swap(state.TreatmentName(v), state.TreatmentName(c));
            std::swap(state.BootstrapNumberReal(v), state.BootstrapNumberReal(c));
        }
    }
}

void SetTreatmentCount(Treatments& state, TestResults& results, ReportHeader& header,
                       std::int16_t n) {
    state.TreatmentCount = n;
    state.PairCount = static_cast<std::int16_t>(n * (n - 1) / 2);
    results.SidakAlpha = 1 - rounded::Pow(0.95, 1.0 / state.PairCount);
    header.TableRuleDouble.assign(static_cast<std::size_t>(11 * n + 15), '=');
    header.TableRuleSingle.assign(static_cast<std::size_t>(11 * n + 15), '-');
}

namespace {

// Entries 1..n, each from the file `choose` gives for it (a table taking an entry for each of its
// treatments), then placed in order.
template <class ChooseFile>
void EnterFiles(const TestOptions& options, Treatments& state, TableShelf& tables, std::int16_t n,
                int transformation, ChooseFile choose, const StopToken* stop) {
    // Per entry, the treatment of a table it came from (null for a treatment file).
    std::vector<TableTreatment*> fromTable(static_cast<std::size_t>(n) + 1, nullptr);
    for (std::int16_t t = 1; t <= n;) {
        StopIfRequested(stop);
        const std::string path = choose(t);
        if (IsTableFile(path)) {
            t = EnterTable(state, path, tables.At(path), t, n, transformation, fromTable);
            continue;
        }
        ReadForOrdering(state, path, t, transformation, stop);
        RefuseNameOfTable(state, t, fromTable);
        ++t;
    }
    PlaceInOrder(options, state, n, fromTable, transformation, stop);
}

}  // namespace

std::int64_t TreatmentsInFiles(const std::vector<std::string>& paths,
                               const std::string& tableParameter,
                               const std::function<void(const std::string&)>& note) {
    TableShelf tables(tableParameter, note);
    return TreatmentsHeld(paths, tables);
}

void ChooseTreatmentFiles(const TreatmentInputParts& parts, std::int16_t n, int transformation,
                          TestQuestions& questions, const StopToken* stop) {
    parts.files.OutputBaseName = TestBaseName;
    TableShelf tables(parts.options.TableParameterName,
                      [&](const std::string& note) { questions.Notice(note, TableNoteTitle); });
    SetTreatmentCount(parts.treatments, parts.results, parts.header, n);
    EnterFiles(
        parts.options, parts.treatments, tables, n, transformation,
        [&](std::int16_t t) {
            const std::string path = questions.TreatmentFile(t, n);
            // A cancelled choice abandons the test rather than reading the file chosen before.
            if (path.empty())
                throw RunStopped("No file was chosen for treatment " + Text(t) +
                                 ". The test is abandoned.");
            return path;
        },
        stop);
}

void ReadTreatmentFiles(const TreatmentInputParts& parts, const std::vector<std::string>& paths,
                        int transformation, const std::function<void(const std::string&)>& note,
                        const StopToken* stop) {
    parts.files.OutputBaseName = TestBaseName;
    TableShelf tables(parts.options.TableParameterName, note);
    // As many as the files hold, and never fewer than a test compares: a lone treatment is
    // refused once it has been read, as it is when the files run out in the window.
    const auto n =
        static_cast<std::int16_t>(std::max<std::int64_t>(2, TreatmentsHeld(paths, tables)));
    SetTreatmentCount(parts.treatments, parts.results, parts.header, n);
    std::size_t next = 0;
    EnterFiles(
        parts.options, parts.treatments, tables, n, transformation,
        [&](std::int16_t) {
            if (next == paths.size()) {
                throw RunStopped("The files given hold only one treatment; a test compares 2 to " +
                                 Text(MostTreatments) + ". The test is abandoned.");
            }
            return ChosenPath(paths[next++]);
        },
        stop);
}

FileValues ReadFileValues(const std::string& path, int transformation, const StopToken* stop) {
    FileValues v;
    v.Transformation = transformation;
    {
        InputFields in = InputFields::Open(path);
        const Header h = ReadHeader(in);
        v.First = ReadPass(in, h.BootstrapNumber, transformation, stop, true);
    }
    InputFields in = InputFields::Open(path);
    const Header h = ReadHeader(in);
    v.Second = ReadPass(in, h.BootstrapNumber, transformation, stop, false);
    return v;
}

void GiveFileValues(const std::string& path, FileValues values) {
    GivenValues()[ChosenPath(path)] = std::move(values);
}

void ForgetGivenFileValues() { GivenValues().clear(); }

void EnterTreatments(const TreatmentInputParts& parts, std::vector<TableTreatment>& treatments,
                     int transformation) {
    parts.files.OutputBaseName = TestBaseName;
    const auto n = static_cast<std::int16_t>(treatments.size());
    SetTreatmentCount(parts.treatments, parts.results, parts.header, n);
    std::vector<TableTreatment*> given(static_cast<std::size_t>(n) + 1, nullptr);
    for (std::int16_t e = 1; e <= n; ++e) {
        TableTreatment& tt = treatments[static_cast<std::size_t>(e - 1)];
        EnterValues(parts.treatments, "Treatment \"" + tt.Name + "\"", false, tt, e, transformation,
                    given);
    }
    PlaceInOrder(parts.options, parts.treatments, n, given, transformation, nullptr);
}

}  // namespace vortel
