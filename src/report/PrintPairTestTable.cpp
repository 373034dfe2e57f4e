#include "report/PrintPairTestTable.h"

#include <cmath>
#include <string>

#include "letters/LetterMarking.h"
#include "shell/base/NumberText.h"
#include "shell/state/ReportHeader.h"
#include "shell/state/SessionFiles.h"

namespace vortel {

namespace {

// A pair is significant at 5 % when its P-value is 0.05 or less.
bool Significant(double p) { return p <= 0.05; }

// A difference: four decimals while it stays within +-10000, a whole 32-bit number beyond. A
// value that is not a number is printed as it is rather than losing the whole report to a
// failed integer conversion.
void DifferenceCell(TextWriter& out, double v) {
    if (std::isnan(v) || (v >= -10000 && v <= 10000)) {
        out.Number(RoundToDecimals(v, 4));
    } else {
        out.Number(ToInt32(v, "A difference in the pair-test tables"));
    }
}

void PCell(TextWriter& out, double p) { out.Number(RoundToDecimals(p, 4)); }

enum class Cell { MeanDifference, MeanDifferenceStarred, TLowerStarred, PValueStarred };

struct TableForm {
    const char* Title;
    const char* Explanation[4];  // the lines after the heading, unused ones null
    const char* Diagonal;
    Cell Upper, Lower;
    bool OriginalColumn;
};

constexpr const char* CartesianTitle = ". Differences between treatments (Cartesian product test)";
constexpr const char* UpperP = " [Upper right triangle: P-value of the test between (i,j)]";
constexpr const char* UpperDifference =
    " [Upper right triangle: The difference between means (i,j)]";
constexpr const char* LowerDifference =
    " [Lower left triangle: The difference between means (i,j)]";

const TableForm Tables[] = {
    {". Differences between treatments and lower CI",
     {"(This is the t confidence interval based on Cartesian product differences)", UpperDifference,
      " [Lower left triangle: Lower CI of difference between means (i,j) based on t]", " "},
     " ----",
     Cell::MeanDifference,
     Cell::TLowerStarred,
     false},
    {". Differences between treatments and P-value",
     {UpperDifference, " [Lower left triangle: P-value of the test between (i,j)]", " "},
     " ----",
     Cell::MeanDifferenceStarred,
     Cell::PValueStarred,
     false},
    {CartesianTitle,
     {UpperP, LowerDifference, " "},
     " ----",
     Cell::PValueStarred,
     Cell::MeanDifferenceStarred,
     false},
    {CartesianTitle,
     {UpperP, LowerDifference, " The original values are listed in the last column"},
     "------",
     Cell::PValueStarred,
     Cell::MeanDifferenceStarred,
     true},
    {CartesianTitle,
     {UpperP, " [Lower left triangle: P-value of the test between (j,i)]", " "},
     " ------",
     Cell::PValueStarred,
     Cell::PValueStarred,
     false},
};

// The difference of the two bootstrap means, larger less smaller.
double MeanGap(const CartesianResult& r, int i, int j) {
    return std::abs(r.Treatment(i).BootstrapMean - r.Treatment(j).BootstrapMean);
}

void PrintCell(const CartesianResult& r, TextWriter& out, Cell cell, int i, int j) {
    const int low = i < j ? i : j;
    const int high = i < j ? j : i;
    const PairResult& pair = r.Pair(low, high);
    const double p = pair.P;
    bool star = false;
    switch (cell) {
        case Cell::MeanDifference:
            DifferenceCell(out, MeanGap(r, low, high));
            break;
        case Cell::MeanDifferenceStarred:
            DifferenceCell(out, MeanGap(r, low, high));
            star = Significant(p);
            break;
        case Cell::TLowerStarred: {
            const double tLower = pair.TLower;
            DifferenceCell(out, tLower);
            star = tLower > 0;
            break;
        }
        case Cell::PValueStarred:
            PCell(out, p);
            star = Significant(p);
            break;
    }
    if (star) out.Text("*");
}

void PrintTable(ReportHeader& header, const CartesianResult& r, TextWriter& out,
                const TableForm& form) {
    const int n = r.TreatmentCount();
    const int originalColumn = 11 * n + 18;
    const std::int16_t number = header.NextTableNumber();
    out.Line(" Table " + Text(number) + form.Title);
    for (const char* line : form.Explanation)
        if (line) out.Line(line);
    out.Line(" " + header.TableRuleDouble);
    for (int k = 1; k <= n; ++k) out.Tab(11 * (k - 1) + 17).Text(r.Treatment(k).Name);
    if (form.OriginalColumn) out.Tab(originalColumn).Text(" Original");
    out.EndLine();
    out.Line(" " + header.TableRuleSingle);
    for (int i = 1; i <= n; ++i) {
        out.Text(" ").Text(r.Treatment(i).Name);
        for (int j = 1; j <= n; ++j) {
            out.Tab(11 * (j - 1) + 16);
            if (i == j)
                out.Text(form.Diagonal);
            else
                PrintCell(r, out, j > i ? form.Upper : form.Lower, i, j);
        }
        if (form.OriginalColumn) out.Tab(originalColumn).Number(r.Treatment(i).Original);
        out.EndLine();
    }
    out.Line(" " + header.TableRuleSingle);
    out.Line(" *: Significant at 5% significance level. A P<=0.05 denotes significant difference.");
    if (&form == &Tables[0]) {
        out.Line(
            " The bootstrap t confidence interval might be different from the bootstrap "
            "percentile ");
        out.Line(" confidence interval. ");
    }
    out.EndLine();
}

}  // namespace

void PrintPairTestTable(ReportHeader& header, SessionFiles& files, const CartesianResult& result,
                        TextWriter& out) {
    files.FlowLine("Sub PrintPairTestTable");
    for (const TableForm& form : Tables) PrintTable(header, result, out, form);
    const std::int16_t number = header.NextTableNumber();
    PrintLetterMarkingSection(MarkingInputOf(result), number, out);
}

}  // namespace vortel
