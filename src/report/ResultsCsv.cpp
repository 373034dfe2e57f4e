#include "report/ResultsCsv.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "letters/LetterMarking.h"
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

// One pair, i before j in report order, taken as the difference a minus b the test formed.
struct PairRow {
    PairRow(const AnalysisState& state, int first, int second)
        : s(state),
          i(first),
          j(second),
          // The test takes i minus j only when i's mean is the larger; equal means give j - i.
          a(s.BootstrapMean(i) > s.BootstrapMean(j) ? i : j),
          b(a == i ? j : i),
          // The report judges equal means not different without looking at the intervals.
          meansDiffer(s.BootstrapMean(i) != s.BootstrapMean(j)),
          p(s.PValue(i, j)) {}
    const AnalysisState& s;
    int i, j, a, b;
    bool meansDiffer;
    double p;
};

constexpr std::array<Column<PairRow>, 21> PairColumns = {{
    {"parameter", [](const PairRow& r) { return CsvField(r.s.CurrentParameterName); }},
    {"treatment_a", [](const PairRow& r) { return CsvField(r.s.TreatmentName(r.a)); }},
    {"treatment_b", [](const PairRow& r) { return CsvField(r.s.TreatmentName(r.b)); }},
    {"B_a", [](const PairRow& r) { return Integer(r.s.BootstrapNumber(r.a)); }},
    {"B_b", [](const PairRow& r) { return Integer(r.s.BootstrapNumber(r.b)); }},
    {"C",
     [](const PairRow& r) {
         return Count(r.s.BootstrapNumberReal(r.i) * r.s.BootstrapNumberReal(r.j));
     }},
    {"mean_difference", [](const PairRow& r) { return CsvNumber(r.s.CartesianMean(r.i, r.j)); }},
    {"variance", [](const PairRow& r) { return CsvNumber(r.s.CartesianVariance(r.i, r.j)); }},
    {"SE", [](const PairRow& r) { return CsvNumber(r.s.CartesianSD(r.i, r.j)); }},
    {"t_lower", [](const PairRow& r) { return CsvNumber(r.s.TLower(r.i, r.j)); }},
    {"t_upper", [](const PairRow& r) { return CsvNumber(r.s.TUpper(r.i, r.j)); }},
    {"percentile_lower", [](const PairRow& r) { return CsvNumber(r.s.PercentileLower(r.i, r.j)); }},
    {"percentile_upper", [](const PairRow& r) { return CsvNumber(r.s.PercentileUpper(r.i, r.j)); }},
    {"insignificant", [](const PairRow& r) { return Integer(r.s.InsignificantCount(r.i, r.j)); }},
    {"significant", [](const PairRow& r) { return Integer(r.s.SignificantCount(r.i, r.j)); }},
    {"P", [](const PairRow& r) { return CsvNumber(r.p); }},
    {"t_significant",
     [](const PairRow& r) { return Boolean(r.meansDiffer && r.s.TLower(r.i, r.j) > 0); }},
    {"percentile_significant",
     [](const PairRow& r) { return Boolean(r.meansDiffer && r.s.PercentileLower(r.i, r.j) > 0); }},
    {"P_at_most_0.05", [](const PairRow& r) { return Boolean(r.p <= 0.05); }},
    {"P_below_sidak", [](const PairRow& r) { return Boolean(r.p < r.s.SidakAlpha); }},
    {"sidak_alpha", [](const PairRow& r) { return CsvNumber(r.s.SidakAlpha); }},
}};

std::string PairsTable(const AnalysisState& s) {
    std::string t;
    AddHeader(t, PairColumns);
    const int n = s.TreatmentCount;
    for (int i = 1; i <= n - 1; ++i)
        for (int j = i + 1; j <= n; ++j) AddRecord(t, PairColumns, PairRow(s, i, j));
    return t;
}

struct TreatmentRow {
    const AnalysisState& s;
    int k;
    const std::string& letters;
};

constexpr std::array<Column<TreatmentRow>, 8> TreatmentColumns = {{
    {"treatment", [](const TreatmentRow& r) { return CsvField(r.s.TreatmentName(r.k)); }},
    {"original", [](const TreatmentRow& r) { return CsvNumber(r.s.OriginalMean(r.k)); }},
    {"bootstrap_mean", [](const TreatmentRow& r) { return CsvNumber(r.s.BootstrapMean(r.k)); }},
    {"variance", [](const TreatmentRow& r) { return CsvNumber(r.s.BootstrapVariance(r.k)); }},
    {"SE", [](const TreatmentRow& r) { return CsvNumber(r.s.TreatmentSE(r.k)); }},
    {"n", [](const TreatmentRow& r) { return Integer(r.s.SampleSize(r.k)); }},
    {"B", [](const TreatmentRow& r) { return Integer(r.s.BootstrapNumber(r.k)); }},
    {"letters", [](const TreatmentRow& r) { return CsvField(r.letters); }},
}};

std::string TreatmentsTable(const AnalysisState& s) {
    std::string t;
    AddHeader(t, TreatmentColumns);
    const std::vector<std::string> letters = TreatmentMarkings(s);
    const std::string none;
    const int n = s.TreatmentCount;
    for (int k = 1; k <= n; ++k) {
        const std::size_t row = static_cast<std::size_t>(k - 1);
        AddRecord(t, TreatmentColumns,
                  TreatmentRow{s, k, row < letters.size() ? letters[row] : none});
    }
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
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, x);
    return std::string(digits, result.ptr);
}

ResultsCsv ResultsCsvOf(const AnalysisState& state) {
    return {PairsTable(state), TreatmentsTable(state)};
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
