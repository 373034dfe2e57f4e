#include "report/ResultsCsv.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
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

void AddRecord(std::string& table, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) table += ',';
        table += f;
        first = false;
    }
    table += "\r\n";
}

std::string PairsTable(const AnalysisState& s) {
    std::string t;
    AddRecord(t, {"parameter",
                  "treatment_a",
                  "treatment_b",
                  "B_a",
                  "B_b",
                  "C",
                  "mean_difference",
                  "variance",
                  "SE",
                  "t_lower",
                  "t_upper",
                  "percentile_lower",
                  "percentile_upper",
                  "insignificant",
                  "significant",
                  "P",
                  "t_significant",
                  "percentile_significant",
                  "P_at_most_0.05",
                  "P_below_sidak",
                  "sidak_alpha"});
    const int n = s.TreatmentCount;
    for (int i = 1; i <= n - 1; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            // The test takes i minus j only when i's mean is the larger; equal means give j - i.
            const bool iMinusJ = s.BootstrapMean(i) > s.BootstrapMean(j);
            const int a = iMinusJ ? i : j, b = iMinusJ ? j : i;
            // The report judges equal means not different without looking at the intervals.
            const bool meansDiffer = s.BootstrapMean(i) != s.BootstrapMean(j);
            const double p = s.PValue(i, j);
            AddRecord(t, {CsvField(s.CurrentParameterName),
                          CsvField(s.TreatmentName(a)),
                          CsvField(s.TreatmentName(b)),
                          Integer(s.BootstrapNumber(a)),
                          Integer(s.BootstrapNumber(b)),
                          Count(s.BootstrapNumberReal(i) * s.BootstrapNumberReal(j)),
                          CsvNumber(s.CartesianMean(i, j)),
                          CsvNumber(s.CartesianVariance(i, j)),
                          CsvNumber(s.CartesianSD(i, j)),
                          CsvNumber(s.TLower(i, j)),
                          CsvNumber(s.TUpper(i, j)),
                          CsvNumber(s.PercentileLower(i, j)),
                          CsvNumber(s.PercentileUpper(i, j)),
                          Integer(s.InsignificantCount(i, j)),
                          Integer(s.SignificantCount(i, j)),
                          CsvNumber(p),
                          Boolean(meansDiffer && s.TLower(i, j) > 0),
                          Boolean(meansDiffer && s.PercentileLower(i, j) > 0),
                          Boolean(p <= 0.05),
                          Boolean(p < s.SidakAlpha),
                          CsvNumber(s.SidakAlpha)});
        }
    }
    return t;
}

std::string TreatmentsTable(const AnalysisState& s) {
    std::string t;
    AddRecord(t,
              {"treatment", "original", "bootstrap_mean", "variance", "SE", "n", "B", "letters"});
    const std::vector<std::string> letters = TreatmentMarkings(s);
    const int n = s.TreatmentCount;
    for (int k = 1; k <= n; ++k) {
        const std::size_t row = static_cast<std::size_t>(k - 1);
        AddRecord(t, {CsvField(s.TreatmentName(k)), CsvNumber(s.OriginalMean(k)),
                      CsvNumber(s.BootstrapMean(k)), CsvNumber(s.BootstrapVariance(k)),
                      CsvNumber(s.TreatmentSE(k)), Integer(s.SampleSize(k)),
                      Integer(s.BootstrapNumber(k)),
                      CsvField(row < letters.size() ? letters[row] : std::string())});
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
