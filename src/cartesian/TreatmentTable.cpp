#include "cartesian/TreatmentTable.h"

#include <cmath>
#include <optional>
#include <unordered_map>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/state/AnalysisState.h"

namespace vortel {

namespace {

constexpr const char* NHelp = "the sample size of the original data (the F test needs it)";
constexpr const char* OriginalHelp = "the estimate from the original data (the report shows it)";

std::string_view CellAt(std::span<const TableCell> cells, std::size_t index) {
    return index < cells.size() ? TrimmedCell(cells[index].Text) : std::string_view{};
}

// One cell read as what its column holds; a cell that does not stops the command.
class CellRules {
public:
    explicit CellRules(const TableReader& reader) : m_reader(reader) {}

    double Value(std::string_view text, std::size_t column, std::string_view header) const {
        double x = 0;
        if (CellNumber(text, m_reader.DecimalComma(), x)) return x;
        if (text.empty()) Fail(column, header, "the cell is empty; a value is needed here.");
        Fail(column, header, QuotedCell(text) + " is not a number" + CommaHint() + ".");
    }

    std::int32_t SampleSize(std::string_view text, std::size_t column,
                            std::string_view header) const {
        double x = 0;
        if (!CellNumber(text, m_reader.DecimalComma(), x) || !(x >= 1) || x != std::floor(x) ||
            x > 2147483647.0) {
            Fail(
                column, header,
                "n is " + QuotedCell(text) + "; it must be a whole number above 0: " + NHelp + ".");
        }
        return static_cast<std::int32_t>(x);
    }

    bool DecimalComma() const { return m_reader.DecimalComma(); }

    [[noreturn]] void Fail(std::size_t column, std::string_view header,
                           const std::string& what) const {
        throw RunStopped(m_reader.Where(m_reader.Row(), column, header) + what);
    }

private:
    std::string CommaHint() const {
        return m_reader.DecimalComma()
                   ? " (this table has ; between its cells, so its numbers are read with a "
                     "decimal comma, as 0,25)"
                   : "";
    }
    const TableReader& m_reader;
};

// What a table says about one treatment beyond its values, with the row that said it first.
struct Given {
    std::string Text;
    std::int64_t Row = 0;
};

struct Building {
    TableTreatment Treatment;
    std::int64_t FirstRow = 0;
    std::int64_t LastRow = 0;
    std::size_t Column = 0;  // the wide table's column, the long table's value column
    std::size_t NameColumn = 0;
    Given N, Original, Parameter;
    // Wide: the row of the first empty cell, after which the column holds no more values.
    std::int64_t EndedAt = 0;
};

void AddValue(Building& b, double x, const CellRules& rules, std::size_t column) {
    if (!ValueCountFits(static_cast<std::int64_t>(b.Treatment.Values.size()) + 1)) {
        rules.Fail(column, "value",
                   "treatment " + QuotedCell(b.Treatment.Name) + " has more than " +
                       Text(ListCapacity) + " values, the most a treatment may hold.");
    }
    b.Treatment.Values.push_back(x);
}

// Keeps n, original or parameter as first given; a later row may repeat it or leave it empty.
void Keep(Given& given, std::string_view text, std::int64_t row, const CellRules& rules,
          std::size_t column, std::string_view header, const std::string& treatment) {
    if (text.empty() || text == given.Text) return;
    if (given.Row == 0) {
        given.Text = std::string(text);
        given.Row = row;
        return;
    }
    // The same number may be spelt differently (30 and 30.0).
    double a = 0, b = 0;
    if (header != "parameter" && CellNumber(text, rules.DecimalComma(), a) &&
        CellNumber(given.Text, rules.DecimalComma(), b) && a == b)
        return;
    rules.Fail(column, header,
               QuotedCell(text) + " differs from " + QuotedCell(given.Text) +
                   ", given for treatment " + QuotedCell(treatment) + " in row " + Text(given.Row) +
                   "; a treatment has one " + std::string(header) + ".");
}

[[noreturn]] void TooMany(const CellRules& rules, std::size_t column, std::string_view header,
                          std::string_view name) {
    rules.Fail(column, header,
               "treatment " + QuotedCell(name) + " is one more than " + Text(MostTreatments) +
                   ", the most treatments a test compares.");
}

// Checks a finished treatment and settles what it took from the table.
TableTreatment Finish(Building& b, const TableReader& reader, bool wide, std::size_t nColumn,
                      std::size_t originalColumn, std::int64_t nRow, std::int64_t originalRow,
                      const std::string& defaultParameter) {
    const std::string name = QuotedCell(b.Treatment.Name);
    auto at = [&](std::int64_t row, std::size_t column, std::string_view header) {
        return reader.Where(row, column, header);
    };
    if (b.Treatment.Values.size() < 2) {
        throw RunStopped(at(wide ? b.FirstRow : b.LastRow, b.Column, "value") + "treatment " +
                         name + " has " + Text(std::int64_t(b.Treatment.Values.size())) + " value" +
                         (b.Treatment.Values.size() == 1 ? "" : "s") +
                         "; a treatment needs at least 2 bootstrap values.");
    }
    struct Needed {
        Given& given;
        const char* header;
        const char* help;
        std::size_t column;
        std::int64_t row;
    };
    for (const Needed& need :
         {Needed{b.N, "n", NHelp, nColumn, nRow},
          Needed{b.Original, "original", OriginalHelp, originalColumn, originalRow}}) {
        if (need.given.Row != 0) continue;
        const std::string label = need.header;
        std::string how;
        if (wide) {
            how = need.row ? "its cell in the row labelled " + label + " is empty; write " +
                                 need.help + " there."
                           : "add a row labelled " + label +
                                 " holding, in each treatment's column, " + need.help + ".";
        } else {
            how = need.column
                      ? "its rows leave the column " + label + " empty; write " + need.help +
                            " on its rows (one row will do)."
                      : "add a column named " + label + " holding, on each row, " + need.help + ".";
        }
        const std::int64_t row = wide ? (need.row ? need.row : 1) : b.FirstRow;
        const std::size_t column = wide ? b.Column : need.column;
        throw RunStopped(at(row, column, need.header) + "treatment " + name + " has no " +
                         need.header + ": " + how);
    }
    TableTreatment t = std::move(b.Treatment);
    t.Row = wide ? 1 : b.FirstRow;
    t.Column = wide ? b.Column : b.NameColumn;
    double original = 0;
    CellNumber(b.Original.Text, reader.DecimalComma(), original);
    t.OriginalMean = original;
    double n = 0;
    CellNumber(b.N.Text, reader.DecimalComma(), n);
    t.SampleSize = static_cast<std::int32_t>(n);
    t.Parameter = b.Parameter.Row ? b.Parameter.Text : defaultParameter;
    return t;
}

TreatmentTable ReadLong(TableReader& reader, std::span<const TableCell> header,
                        const std::string& defaultParameter) {
    const CellRules rules(reader);
    std::optional<std::size_t> treatmentColumn, valueColumn, nColumn, originalColumn,
        parameterColumn;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string name = LowerCase(TrimmedCell(header[c].Text));
        for (auto [wanted, slot] :
             {std::pair{"treatment", &treatmentColumn}, std::pair{"value", &valueColumn},
              std::pair{"n", &nColumn}, std::pair{"original", &originalColumn},
              std::pair{"parameter", &parameterColumn}}) {
            if (name != wanted) continue;
            if (*slot) {
                rules.Fail(c + 1, {},
                           "a second column is named " + std::string(wanted) +
                               " (the first is column " + Text(std::int64_t(**slot + 1)) + ").");
            }
            *slot = c;
        }
    }
    for (auto [wanted, slot, help] :
         {std::tuple{"treatment", &treatmentColumn, "the treatment each value belongs to"},
          std::tuple{"value", &valueColumn, "one bootstrap value a row"}}) {
        if (!*slot) {
            rules.Fail(0, {},
                       std::string("no column is named ") + wanted +
                           ". A long table names the columns treatment and value in its first "
                           "row; add a column " +
                           wanted + " holding " + help + ".");
        }
    }
    const std::size_t tc = *treatmentColumn, vc = *valueColumn;

    std::vector<Building> building;
    std::unordered_map<std::string, std::size_t> byName;
    Building* current = nullptr;
    while (reader.Next()) {
        const auto cells = reader.Cells();
        const std::string_view name = CellAt(cells, tc);
        if (name.empty()) {
            if (reader.Blank()) continue;
            rules.Fail(tc + 1, "treatment",
                       "the treatment cell is empty; every value needs its treatment's name.");
        }
        if (!current || name != current->Treatment.Name) {
            const auto found = byName.find(std::string(name));
            if (found != byName.end()) {
                current = &building[found->second];
            } else {
                if (!TreatmentCountFits(static_cast<double>(building.size() + 1), 0))
                    TooMany(rules, tc + 1, "treatment", name);
                byName.emplace(std::string(name), building.size());
                Building& b = building.emplace_back();
                b.Treatment.Name = std::string(name);
                b.FirstRow = reader.Row();
                b.Column = vc + 1;
                b.NameColumn = tc + 1;
                current = &b;
            }
        }
        current->LastRow = reader.Row();
        AddValue(*current, rules.Value(CellAt(cells, vc), vc + 1, "value"), rules, vc + 1);
        if (nColumn) {
            const std::string_view n = CellAt(cells, *nColumn);
            if (!n.empty() && n != current->N.Text) rules.SampleSize(n, *nColumn + 1, "n");
            Keep(current->N, n, reader.Row(), rules, *nColumn + 1, "n", current->Treatment.Name);
        }
        if (originalColumn) {
            const std::string_view o = CellAt(cells, *originalColumn);
            if (!o.empty() && o != current->Original.Text)
                rules.Value(o, *originalColumn + 1, "original");
            Keep(current->Original, o, reader.Row(), rules, *originalColumn + 1, "original",
                 current->Treatment.Name);
        }
        if (parameterColumn) {
            Keep(current->Parameter, CellAt(cells, *parameterColumn), reader.Row(), rules,
                 *parameterColumn + 1, "parameter", current->Treatment.Name);
        }
    }
    TreatmentTable table;
    table.DecimalComma = reader.DecimalComma();
    for (Building& b : building) {
        table.Treatments.push_back(Finish(b, reader, false, nColumn ? *nColumn + 1 : 0,
                                          originalColumn ? *originalColumn + 1 : 0, 0, 0,
                                          defaultParameter));
    }
    return table;
}

TreatmentTable ReadWide(TableReader& reader, std::span<const TableCell> header,
                        const std::string& defaultParameter) {
    const CellRules rules(reader);
    std::vector<Building> building;
    // Column (from 0) to treatment, or -1 for a column without a name.
    std::vector<int> treatmentOf(header.size(), -1);
    for (std::size_t c = 1; c < header.size(); ++c) {
        const std::string_view name = TrimmedCell(header[c].Text);
        if (name.empty()) continue;
        for (const Building& b : building) {
            if (b.Treatment.Name == name) {
                rules.Fail(c + 1, {},
                           "a second column is named " + QuotedCell(name) +
                               " (the first is column " + Text(std::int64_t(b.Column)) +
                               "); each treatment needs a name of its own.");
            }
        }
        if (!TreatmentCountFits(static_cast<double>(building.size() + 1), 0))
            TooMany(rules, c + 1, {}, name);
        treatmentOf[c] = static_cast<int>(building.size());
        Building& b = building.emplace_back();
        b.Treatment.Name = std::string(name);
        b.Column = c + 1;
    }
    if (building.empty()) {
        rules.Fail(0, {},
                   "no treatment is named. A table names its columns in its first row: treatment "
                   "and value for one row per value, or a row label and then one treatment per "
                   "column.");
    }
    std::int64_t nRow = 0, originalRow = 0, parameterRow = 0;
    while (reader.Next()) {
        const auto cells = reader.Cells();
        const std::string label = LowerCase(CellAt(cells, 0));
        std::int64_t* labelled = label == "n"           ? &nRow
                                 : label == "original"  ? &originalRow
                                 : label == "parameter" ? &parameterRow
                                                        : nullptr;
        if (labelled) {
            if (*labelled) {
                rules.Fail(1, {},
                           "a second row is labelled " + label + " (the first is row " +
                               Text(*labelled) + ").");
            }
            *labelled = reader.Row();
        } else if (reader.Blank()) {
            continue;
        }
        for (std::size_t c = 1; c < cells.size(); ++c) {
            const std::string_view text = TrimmedCell(cells[c].Text);
            if (c < treatmentOf.size() && treatmentOf[c] >= 0) continue;
            if (!text.empty()) {
                rules.Fail(c + 1, {},
                           "the cell holds " + QuotedCell(text) +
                               ", but its column has no treatment name in row 1.");
            }
        }
        for (Building& b : building) {
            const std::size_t c = b.Column - 1;
            const std::string_view text = CellAt(cells, c);
            const std::string& name = b.Treatment.Name;
            if (labelled == &nRow) {
                if (!text.empty()) rules.SampleSize(text, c + 1, "n");
                Keep(b.N, text, reader.Row(), rules, c + 1, "n", name);
            } else if (labelled == &originalRow) {
                if (!text.empty()) rules.Value(text, c + 1, "original");
                Keep(b.Original, text, reader.Row(), rules, c + 1, "original", name);
            } else if (labelled == &parameterRow) {
                Keep(b.Parameter, text, reader.Row(), rules, c + 1, "parameter", name);
            } else if (text.empty()) {
                if (!b.EndedAt) b.EndedAt = reader.Row();
            } else {
                if (b.EndedAt) {
                    rules.Fail(c + 1, name,
                               "a value follows the empty cell of row " + Text(b.EndedAt) +
                                   "; a column may end early, but not leave gaps.");
                }
                if (!b.FirstRow) b.FirstRow = reader.Row();
                b.LastRow = reader.Row();
                AddValue(b, rules.Value(text, c + 1, name), rules, c + 1);
            }
        }
    }
    TreatmentTable table;
    table.DecimalComma = reader.DecimalComma();
    for (Building& b : building) {
        if (!b.FirstRow) b.FirstRow = 1;
        table.Treatments.push_back(
            Finish(b, reader, true, 0, 0, nRow, originalRow, defaultParameter));
    }
    return table;
}

}  // namespace

TreatmentTable ReadTreatmentTable(TableReader& reader, const std::string& defaultParameter) {
    // Empty lines before the header are not rows of the table.
    bool any = false;
    while ((any = reader.Next()) && reader.Blank()) {
    }
    if (!any) throw RunStopped("Table \"" + reader.Name() + "\" is empty: it has no header row.");
    const std::vector<TableCell> cells(reader.Cells().begin(), reader.Cells().end());
    // The header's texts must outlive the reading of the next rows.
    std::vector<std::string> texts;
    for (const TableCell& c : cells) texts.emplace_back(c.Text);
    std::vector<TableCell> header;
    for (std::size_t c = 0; c < cells.size(); ++c) header.push_back({texts[c], cells[c].Quoted});
    bool isLong = false;
    for (const TableCell& c : header) {
        const std::string name = LowerCase(TrimmedCell(c.Text));
        if (name == "treatment" || name == "value") isLong = true;
    }
    TreatmentTable table = isLong ? ReadLong(reader, header, defaultParameter)
                                  : ReadWide(reader, header, defaultParameter);
    table.Path = reader.Name();
    if (table.Treatments.empty())
        throw RunStopped("Table \"" + reader.Name() + "\" holds no treatments below its header.");
    return table;
}

TreatmentTable ReadTreatmentTable(const std::string& path, const std::string& defaultParameter) {
    TableReader reader = TableReader::Open(path);
    return ReadTreatmentTable(reader, defaultParameter);
}

}  // namespace vortel
