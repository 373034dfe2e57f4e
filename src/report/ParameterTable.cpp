#include "report/ParameterTable.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/base/TableReader.h"
#include "shell/base/Tables.h"

namespace vortel {

namespace {

constexpr const char* PlusMinus = "\xc2\xb1";

// The columns a treatments table is read by, as found in its header (0: absent; else 1-based).
struct Columns {
    std::size_t Treatment = 0, Estimate = 0, SE = 0, Letters = 0, Parameter = 0, Transformation = 0;
};

Columns HeaderColumns(TableReader& table) {
    Columns c;
    for (std::size_t k = 0; k < table.Cells().size(); ++k) {
        const std::string name = LowerCase(TrimmedCell(table.Cells()[k].Text));
        std::size_t* field = name == "treatment"                        ? &c.Treatment
                             : name == "original" || name == "estimate" ? &c.Estimate
                             : name == "se"                             ? &c.SE
                             : name == "letters"                        ? &c.Letters
                             : name == "parameter"                      ? &c.Parameter
                             : name == "transformation"                 ? &c.Transformation
                                                                        : nullptr;
        if (field != nullptr && *field == 0) *field = k + 1;
    }
    std::string missing;
    for (const auto& [column, name] :
         {std::pair{c.Treatment, "treatment"}, std::pair{c.Estimate, "original"},
          std::pair{c.SE, "SE"}, std::pair{c.Letters, "letters"}})
        if (column == 0) missing += std::string(missing.empty() ? "" : ", ") + name;
    if (!missing.empty()) {
        throw RunStopped("Table \"" + table.Name() + "\" has no column " + missing +
                         ": a treatments table (the treatments.csv of vortel cartesian --csv, or "
                         "the CSV of its --paper-table) has the columns treatment, original (or "
                         "estimate), SE and letters in its first row.");
    }
    return c;
}

std::string CellAt(const TableReader& table, std::size_t column) {
    const auto cells = table.Cells();
    return column >= 1 && column <= cells.size() ? std::string(TrimmedCell(cells[column - 1].Text))
                                                 : std::string();
}

double NumberAt(const TableReader& table, std::size_t column, const char* header) {
    const std::string text = CellAt(table, column);
    double value = 0;
    if (!CellNumber(text, table.DecimalComma(), value))
        throw RunStopped(table.Where(table.Row(), column, header) +
                         (text.empty() ? std::string("the cell is empty; it needs a number.")
                                       : QuotedCell(text) + " is not a number."));
    return value;
}

// The parameter column of the first row of a pairs table, if it reads.
std::optional<std::string> ParameterOfPairs(const std::filesystem::path& pairs) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(pairs, ec)) return std::nullopt;
    try {
        TableReader table = TableReader::Open(pairs);
        if (!table.Next()) return std::nullopt;
        std::size_t column = 0;
        for (std::size_t k = 0; k < table.Cells().size(); ++k)
            if (LowerCase(TrimmedCell(table.Cells()[k].Text)) == "parameter") column = k + 1;
        if (column == 0 || !table.Next()) return std::nullopt;
        const std::string p = CellAt(table, column);
        if (!p.empty()) return p;
    } catch (const std::exception&) {
        // Only a name was looked for; the file name gives one too.
    }
    return std::nullopt;
}

// The parameter a test's file names: the report's "<base> results-<parameter>_<when>".
std::string ParameterOfName(const std::filesystem::path& path) {
    const std::string stem = path.stem().string();
    const std::string mark = " results-";
    const std::size_t at = stem.rfind(mark);
    if (at != std::string::npos) {
        const std::size_t from = at + mark.size();
        const std::size_t end = stem.find('_', from);
        if (end != std::string::npos && end > from) return stem.substr(from, end - from);
    }
    return stem;
}

}  // namespace

TestTreatments ReadTestTreatments(TableReader& table) {
    TestTreatments t;
    t.Source = table.Name();
    if (!table.Next()) throw RunStopped("Table \"" + table.Name() + "\" is empty.");
    const Columns c = HeaderColumns(table);
    while (table.Next()) {
        if (table.Blank()) continue;
        const std::string name = CellAt(table, c.Treatment);
        if (name.empty())
            throw RunStopped(table.Where(table.Row(), c.Treatment, "treatment") +
                             "the treatment has no name.");
        for (const std::string& earlier : t.Names)
            if (earlier == name)
                throw RunStopped(table.Where(table.Row(), c.Treatment, "treatment") +
                                 "treatment \"" + name + "\" appears twice.");
        CheckTreatmentCount(
            static_cast<double>(t.Names.size() + 1),
            [&] {
                return table.Where(table.Row(), 0) + "more than " + Text(MostTreatments) +
                       " treatments; a test compares at most " + Text(MostTreatments) + ".";
            },
            0);
        t.Names.push_back(name);
        t.Estimates.push_back(NumberAt(table, c.Estimate, "original"));
        t.SE.push_back(NumberAt(table, c.SE, "SE"));
        t.Letters.push_back(CellAt(table, c.Letters));
        if (c.Parameter != 0 && t.Parameter.empty()) t.Parameter = CellAt(table, c.Parameter);
        if (c.Transformation != 0 && t.Transformation.empty())
            t.Transformation = CellAt(table, c.Transformation);
    }
    if (t.Names.empty())
        throw RunStopped("Table \"" + table.Name() + "\" holds no treatment below its header.");
    return t;
}

TestTreatments ReadTestTreatments(const std::filesystem::path& path) {
    TableReader table = TableReader::Open(path);
    TestTreatments t = ReadTestTreatments(table);
    if (t.Parameter.empty()) {
        // "<report> treatments.csv" has "<report> pairs.csv" beside it, which names it.
        const std::string stem = path.stem().string();
        const std::string tail = " treatments";
        if (stem.size() > tail.size() && stem.ends_with(tail))
            t.Parameter =
                ParameterOfPairs(path.parent_path() /
                                 (stem.substr(0, stem.size() - tail.size()) + " pairs.csv"))
                    .value_or("");
    }
    if (t.Parameter.empty()) t.Parameter = ParameterOfName(path);
    return t;
}

DisplayTable ParameterTable(const std::vector<TestTreatments>& tests, int decimals) {
    DisplayTable table;
    std::vector<std::string> names;
    for (const TestTreatments& t : tests)
        for (const std::string& name : t.Names)
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    table.Header.push_back("Parameter");
    table.LeftAligned.push_back(true);
    for (const std::string& name : names) {
        table.Header.push_back(name);
        table.LeftAligned.push_back(false);
    }
    bool transformed = false;
    for (const TestTreatments& t : tests) {
        const int d = decimals >= 0 ? std::min(decimals, MostPaperDecimals)
                                    : ChooseDecimals(t.Estimates, t.SE, [&](int i, int j) {
                                          const auto& a = t.Letters[static_cast<std::size_t>(i)];
                                          const auto& b = t.Letters[static_cast<std::size_t>(j)];
                                          return !a.empty() && !b.empty() &&
                                                 a.find_first_of(b) == std::string::npos;
                                      });
        std::vector<DisplayCell> row{{"", t.Parameter}};
        for (const std::string& name : names) {
            const auto at = std::find(t.Names.begin(), t.Names.end(), name);
            if (at == t.Names.end()) {
                row.push_back({});
                table.Notes.push_back("No value of " + t.Parameter + " for " + name + ": \"" +
                                      t.Source + "\" holds no treatment of that name.");
                continue;
            }
            const auto k = static_cast<std::size_t>(at - t.Names.begin());
            row.push_back({FixedDecimals(t.Estimates[k], d) + " " + PlusMinus + " " +
                               FixedDecimals(t.SE[k], d),
                           t.Letters[k]});
        }
        table.Rows.push_back(std::move(row));
        if (!t.Transformation.empty() && t.Transformation != "none") {
            transformed = true;
            table.Notes.push_back(t.Parameter + ": on the " + t.Transformation +
                                  " scale on which its test compared the values.");
        }
    }
    table.Caption = std::string("Estimate from the original data ") + PlusMinus +
                    " bootstrap SE of each treatment, one row per parameter, each tested on its "
                    "own; within a row, means followed by the same letter do not differ "
                    "(Cartesian paired test, P > 0.05)." +
                    (transformed ? " Some rows are on a transformed scale (notes below)." : "");
    return table;
}

}  // namespace vortel
