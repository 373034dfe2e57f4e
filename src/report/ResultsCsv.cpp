#include "report/ResultsCsv.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "shell/base/DoubleText.h"
#include "shell/base/OutputFile.h"

namespace vortel {

namespace {

std::string Integer(std::int64_t x) { return std::to_string(x); }

// C is a count: written as one, not as the shorter 4e+06 that a spreadsheet shows as a real.
std::string Count(double c) {
    return c == std::floor(c) && std::fabs(c) < 9e15 ? Integer(static_cast<std::int64_t>(c))
                                                     : CsvNumber(c);
}

// Upper case: R, pandas and spreadsheets all read TRUE and FALSE as logical values; R 4.2 keeps
// "true" as text.
std::string Boolean(bool b) { return b ? "TRUE" : "FALSE"; }

// A column of a table: its header and how a row gives its value. One line per column, so a
// new column is one more line in its table.
template <class Row>
struct Column {
    const char* Header;
    std::string (*Value)(const Row&);
};

template <class Row, std::size_t N>
void AddHeader(std::string& table, const std::array<Column<Row>, N>& columns) {
    for (std::size_t c = 0; c < N; ++c) (table += c ? "," : "") += columns[c].Header;
    table += "\r\n";
}

template <class Row, std::size_t N>
void AddRecord(std::string& table, const std::array<Column<Row>, N>& columns, const Row& row) {
    for (std::size_t c = 0; c < N; ++c) (table += c ? "," : "") += columns[c].Value(row);
    table += "\r\n";
}

// One pair in report order, taken as the difference a minus b the test formed.
struct PairRow {
    const CartesianResult& r;
    const PairResult& p;
    const TreatmentResult& a() const { return r.Treatment(p.Minuend); }
    const TreatmentResult& b() const { return r.Treatment(p.Subtrahend); }
};

constexpr std::array<Column<PairRow>, 21> PairColumns = {{
    {"parameter", [](const PairRow& w) { return CsvField(w.r.Parameter); }},
    {"treatment_a", [](const PairRow& w) { return CsvField(w.a().Name); }},
    {"treatment_b", [](const PairRow& w) { return CsvField(w.b().Name); }},
    {"B_a", [](const PairRow& w) { return Integer(w.a().BootstrapNumber); }},
    {"B_b", [](const PairRow& w) { return Integer(w.b().BootstrapNumber); }},
    {"C", [](const PairRow& w) { return Count(w.p.C); }},
    {"mean_difference", [](const PairRow& w) { return CsvNumber(w.p.Mean); }},
    {"variance", [](const PairRow& w) { return CsvNumber(w.p.Variance); }},
    {"SE", [](const PairRow& w) { return CsvNumber(w.p.SE); }},
    {"t_lower", [](const PairRow& w) { return CsvNumber(w.p.TLower); }},
    {"t_upper", [](const PairRow& w) { return CsvNumber(w.p.TUpper); }},
    {"percentile_lower", [](const PairRow& w) { return CsvNumber(w.p.PercentileLower); }},
    {"percentile_upper", [](const PairRow& w) { return CsvNumber(w.p.PercentileUpper); }},
    {"insignificant", [](const PairRow& w) { return Integer(w.p.Insignificant); }},
    {"significant", [](const PairRow& w) { return Integer(w.p.Significant); }},
    {"P", [](const PairRow& w) { return CsvNumber(w.p.P); }},
    {"t_significant", [](const PairRow& w) { return Boolean(w.p.TSignificant); }},
    {"percentile_significant", [](const PairRow& w) { return Boolean(w.p.PercentileSignificant); }},
    {"P_at_most_0.05", [](const PairRow& w) { return Boolean(w.p.AtFivePercent); }},
    {"P_below_sidak", [](const PairRow& w) { return Boolean(w.p.BelowSidak); }},
    {"sidak_alpha", [](const PairRow& w) { return CsvNumber(w.r.SidakAlpha); }},
}};

std::string PairsTable(const CartesianResult& r) {
    std::string t;
    AddHeader(t, PairColumns);
    for (const PairResult& p : r.Pairs) AddRecord(t, PairColumns, PairRow{r, p});
    return t;
}

constexpr std::array<Column<TreatmentResult>, 8> TreatmentColumns = {{
    {"treatment", [](const TreatmentResult& t) { return CsvField(t.Name); }},
    {"original", [](const TreatmentResult& t) { return CsvNumber(t.Original); }},
    {"bootstrap_mean", [](const TreatmentResult& t) { return CsvNumber(t.BootstrapMean); }},
    {"variance", [](const TreatmentResult& t) { return CsvNumber(t.Variance); }},
    {"SE", [](const TreatmentResult& t) { return CsvNumber(t.SE); }},
    {"n", [](const TreatmentResult& t) { return Integer(t.SampleSize); }},
    {"B", [](const TreatmentResult& t) { return Integer(t.BootstrapNumber); }},
    {"letters", [](const TreatmentResult& t) { return CsvField(t.Letters); }},
}};

std::string TreatmentsTable(const CartesianResult& r) {
    std::string t;
    AddHeader(t, TreatmentColumns);
    for (const TreatmentResult& tr : r.Treatments) AddRecord(t, TreatmentColumns, tr);
    return t;
}

}  // namespace

std::string CsvField(std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string CsvNumber(double x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    char digits[DoubleTextRoom];
    return std::string(digits, WriteShortest(digits, x));
}

ResultsCsv ResultsCsvOf(const CartesianResult& result) {
    return {PairsTable(result), TreatmentsTable(result)};
}

ResultsCsv ResultsCsvOf(const Treatments& treatments, const TestResults& results,
                        const PairScratch& work) {
    return ResultsCsvOf(CartesianResultOf(treatments, results, work));
}

ResultsCsvPaths ResultsCsvPathsFor(const std::filesystem::path& report) {
    std::filesystem::path base = report;
    if (base.extension() == ".txt") base.replace_extension();
    const std::string name = base.filename().string();
    return {base.parent_path() / (name + " pairs.csv"),
            base.parent_path() / (name + " treatments.csv")};
}

void WriteResultsCsv(const ResultsCsv& tables, const ResultsCsvPaths& paths, OutputSet& set) {
    set.Create(paths.Pairs).Writer().Text(tables.Pairs);
    set.Create(paths.Treatments).Writer().Text(tables.Treatments);
}

void WriteResultsCsvBeside(const ResultsCsv& tables, const OutputFile& report, OutputSet& set) {
    const ResultsCsvPaths paths = ResultsCsvPathsFor(report.Target());
    set.CreateBeside(report, paths.Pairs).Writer().Text(tables.Pairs);
    set.CreateBeside(report, paths.Treatments).Writer().Text(tables.Treatments);
}

}  // namespace vortel
