#include "report/PairSection.h"

#include <cmath>
#include <string>

namespace vortel {

namespace {

constexpr int RuleLength = 72;

void Rule(TextWriter& out, char c) { out.Line(std::string(RuleLength, c)); }

// A line framed on the right: the closing mark goes to column 72, or to column 72 of the next
// line when the text has already passed it.
void Framed(TextWriter& out, const std::string& text, const char* mark) {
    out.Text(text).Tab(RuleLength).Text(mark).EndLine();
}

// The verdict pair of lines of one interval, framed by `mark` ("*" or "#").
void Verdict(TextWriter& out, const char* mark, bool significant, const std::string& first,
             const std::string& second) {
    const std::string lead = std::string(mark) + " ";
    if (significant) {
        Framed(out, lead + "Signif. diff. btw. " + first + " and " + second + ".", mark);
        Framed(out, lead + "If the CI does not include 0, there is significant difference.", mark);
    } else {
        Framed(out, lead + "No signif. diff. btw. " + first + " and " + second + ".", mark);
        Framed(out, lead + "If the CI includes 0, there is no significant difference.", mark);
    }
}

// Lower and upper bound under "Lower" and "Upper", framed by `mark`.
void Interval(TextWriter& out, const char* mark, const char* title, double lower, double upper) {
    Framed(out, std::string(mark) + " " + title, mark);
    out.Text(mark).Text(" 95% CI:").Tab(26).Text("Lower").Tab(51).Text("Upper").Tab(RuleLength);
    out.Text(mark).EndLine();
    out.Text(mark).Tab(25).Number(lower).Tab(50).Number(upper).Tab(RuleLength).Text(mark).EndLine();
}

const char* ResolutionNote(std::int32_t bootstrapNumber) {
    switch (bootstrapNumber) {
        case 100000:
            return "# Because B is limited, if P = 0, you can report P < 0.00001.";
        case 10000:
            return "# Because B is limited, if P = 0, you can report P < 0.0001.";
        case 1000:
            return "# Because B is limited, if P = 0, you can report P < 0.001.";
        case 100:
            return "# Because B is limited, if P = 0, you can report P < 0.01.";
        default:
            return nullptr;
    }
}

// The facts of one pair that every block of its section reads.
struct Pair {
    const CartesianResult& Result;
    const PairResult& R;
    const TreatmentResult& First;   // treatment I
    const TreatmentResult& Second;  // treatment J
    const std::string& NameI;
    const std::string& NameJ;
    double C, P, TLower, PercentileLower;
    bool PercentileSignificant;
};

void PrintTreatmentBlock(TextWriter& out, const Pair& pair) {
    out.Line("Comparison between " + pair.NameI + " vs " + pair.NameJ);
    out.Text("Number of Cartesian products (C)=").Number(pair.C).EndLine();
    Rule(out, '=');
    out.Tab(27).Text(pair.NameI).Tab(52).Text(pair.NameJ).EndLine();
    Rule(out, '-');
    auto both = [&](const char* label, auto field) {
        out.Text(label).Tab(25).Number(pair.First.*field).Tab(50).Number(pair.Second.*field);
        out.EndLine();
    };
    both("Original =", &TreatmentResult::Original);
    Rule(out, '-');
    both("Bootstrap mean =", &TreatmentResult::BootstrapMean);
    both("Variance =", &TreatmentResult::Variance);
    both("SE =", &TreatmentResult::SE);
    both("n ", &TreatmentResult::SampleSize);
    Rule(out, '-');
}

void PrintCartesianBlock(TextWriter& out, const Pair& pair) {
    auto cartesian = [&](const char* label, double value) {
        out.Tab(15).Text(label).Tab(35).Number(value).EndLine();
    };
    cartesian("Mean (Cart. diff.) =", pair.R.Mean);
    cartesian("Variance =", pair.R.Variance);
    cartesian("SE =", pair.R.SE);
    cartesian("n ", pair.C);
    Rule(out, '-');
    out.Text("Difference 1 =")
        .Number(std::abs(pair.First.Original - pair.Second.Original))
        .EndLine();
    out.Line("   Difference 1 is the difference of two original values.");
    Rule(out, '-');
    out.Line("With the increase of B, diff. 1 will close to mean of Cart. difference");
}

void PrintPercentileBlock(TextWriter& out, const Pair& pair) {
    Rule(out, '-');
    Interval(out, "#", "Percentile confidence intervals of Cartesian product differences:",
             pair.PercentileLower, pair.R.PercentileUpper);
    Verdict(out, "#", pair.PercentileSignificant, pair.NameI, pair.NameJ);
    out.Line("#" + std::string(RuleLength - 2, '-') + "#");
}

void PrintPValueBlock(TextWriter& out, const Pair& pair) {
    const bool s = pair.PercentileSignificant;
    const double p = pair.P;
    out.Text("# Number of insignif. diff. = ").Number(pair.R.Insignificant);
    out.Tab(RuleLength).Text("#").EndLine();
    out.Text("# Number of signif. diff. = ").Number(pair.R.Significant);
    out.Tab(RuleLength).Text("#").EndLine();
    out.Text("# P-value (based on").Number(pair.C).Text(" Cartesian differences) = ").Number(p);
    out.Tab(RuleLength).Text("#").EndLine();
    // A P of exactly 0.05 counts as significant, as in the tables' footnote.
    if ((s && p > 0.05) || (!s && p <= 0.05)) {
        Framed(out, "# This P-value is inconsistent with the results of CI.", "#");
        Framed(out, "# In this case, please increase B and re-run the test.", "#");
    }
    if (p == 0) {
        if (const char* note = ResolutionNote(pair.Result.Treatment(1).BootstrapNumber))
            Framed(out, note, "#");
    }
    Rule(out, '-');
    if (pair.Result.TreatmentCount() > 2) {
        const double sidak = pair.Result.SidakAlpha;
        out.Text("* Alpha(Sidak) =").Number(sidak).Tab(RuleLength).Text("*").EndLine();
        const bool consistent = (s && p < sidak) || (!s && p > sidak);
        Framed(out,
               consistent ? "* Result with Sidak correction is consistent with CI of diff."
                          : "* Result with Sidak correction is inconsistent with CI of diff.",
               "*");
    }
    Rule(out, '-');
}

void PrintIntervalsDisagree(TextWriter& out, const Pair& pair) {
    const bool s = pair.PercentileSignificant;
    if (!((s && pair.TLower < 0) || (!s && pair.TLower > 0 && pair.PercentileLower < 0))) return;
    Rule(out, s ? '*' : '-');
    Framed(out, "* Note well: The lower confidence interval based on t is different", "*");
    Framed(out, "* from that based on percentiles.", "*");
    Framed(out, "* The lower CI of t is calculated as Mean - 1.959964 * SE.", "*");
    Framed(out, "* The lower CI of percentile is based on bootstrap samples.", "*");
    Framed(out,
           s ? "* The P-value is calculated based on the finite bootstrap samples."
             : "* The P-value is calculated based on the bootstrap samples.",
           "*");
    Framed(out, "* When bootstrap samples are non-normal, there will be discrepancy.", "*");
    Rule(out, '=');
}

}  // namespace

void PrintPairSection(const CartesianResult& result, TextWriter& out, const PairResult& r) {
    const TreatmentResult& first = result.Treatment(r.I);
    const TreatmentResult& second = result.Treatment(r.J);
    const Pair pair{result,
                    r,
                    first,
                    second,
                    first.Name,
                    second.Name,
                    r.C,
                    r.P,
                    r.TLower,
                    r.PercentileLower,
                    r.PercentileLower > 0};
    PrintTreatmentBlock(out, pair);
    PrintCartesianBlock(out, pair);

    // t interval; equal means end the section there.
    Rule(out, '*');
    Interval(out, "*",
             "Bootstrap t confidence intervals based on Cartesian differences:", pair.TLower,
             r.TUpper);
    if (first.BootstrapMean == second.BootstrapMean) {
        Framed(out, "* No signif. diff. btw. treatments.", "*");
        Rule(out, '-');
        out.EndLine();
        return;
    }
    Verdict(out, "*", pair.TLower > 0, pair.NameI, pair.NameJ);
    Rule(out, '-');

    PrintPercentileBlock(out, pair);
    PrintPValueBlock(out, pair);
    PrintIntervalsDisagree(out, pair);
    out.EndLine();
}

}  // namespace vortel
