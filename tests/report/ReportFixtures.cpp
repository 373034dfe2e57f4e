#include "ReportFixtures.h"

#include "shell/base/NumberText.h"

namespace vortel::test {

// Long names: the first pushes the second name and the closing marks of the verdicts to the
// next line. Means 10000 apart print as a real in the tables, 12345.678 as a whole number.
TestResults TwoTreatments() {
    return {{{"Cucumber-greenhouse-strain-2024", 10020, 12365.678, 4, 2, 40, 2000},
             {"Tomato-field-plot", 19.5, 20, 1, 1, 35, 2000}},
            {{1, 2, 12345.5, 5, 2.25, 10000, 14691.25, 10001, 14690, 0, 4000000, 0}},
            98765.4321,
            1,
            3998,
            0.05,
            "",
            120};
}

// The worked three-treatment example: mean differences 0.25, 1.5, 1.25 and P 0.2, 0.01, 0.03.
// (1,2) has a t lower bound of exactly 0; (1,3) a percentile lower bound of exactly 0 under a
// positive t bound; (2,3) a percentile interval above 0 under a t interval reaching below it.
TestResults ThreeTreatments() {
    return {{{"A", 3.1, 3, 0.04, 0.2, 20, 1000},
             {"B", 2.7, 2.75, 0.09, 0.3, 18, 1000},
             {"C", 1.6, 1.5, 0.01, 0.1, 25, 1000}},
            {{1, 2, 0.25, 0.13, 0.36, 0, 0.5, -0.1, 0.6, 800000, 200000, 0.2},
             {1, 3, 1.5, 0.05, 0.22, 0.5, 2.5, 0, 2, 10000, 990000, 0.01},
             {2, 3, 1.25, 0.1, 0.32, -0.2, 2.7, 0.05, 2.4, 30000, 970000, 0.03}},
            12.5,
            2,
            2997,
            0.016952,
            "",
            119};
}

// T2 and T3 have equal means; (1,2) has P = 0 with B = 1000; (1,3) and (1,4) have P = 0.05 with
// and without a percentile interval above 0; (1,4) has a t interval above 0 under a percentile
// interval reaching below it.
TestResults FiveTreatments() {
    return {{{"T1", 10.2, 10, 1, 1, 30, 1000},
             {"T2", 7.9, 8, 0.5, 0.7, 30, 1000},
             {"T3", 8.1, 8, 0.5, 0.7, 30, 1000},
             {"T4", 5.05, 5, 0.25, 0.5, 30, 1000},
             {"T5", 2.4, 2.5, 0.2, 0.45, 30, 1000}},
            {{1, 2, 2, 1.5, 1.2, 0.3, 3.7, 0.4, 3.6, 0, 1000000, 0},
             {1, 3, 2, 1.5, 1.2, 0.02, 3.98, 0.01, 3.9, 50000, 950000, 0.05},
             {1, 4, 5, 1.25, 1.1, 0.1, 9.9, -0.01, 9.8, 50000, 950000, 0.05},
             {1, 5, 7.5, 1.2, 1.1, 5, 10, 5.2, 9.8, 1000, 999000, 0.001},
             {2, 3, 0, 1, 1, -1.5, 1.5, -1.4, 1.4, 1000000, 0, 1},
             {2, 4, 3, 0.75, 0.87, 0.9, 5.1, 0.8, 5.2, 4000, 996000, 0.004},
             {2, 5, 5.5, 0.7, 0.84, 3.4, 7.6, 3.5, 7.5, 400, 999600, 0.0004},
             {3, 4, 3, 0.75, 0.87, -0.4, 6.4, -0.5, 6.5, 200000, 800000, 0.2},
             {3, 5, 5.5, 0.7, 0.84, 1.9, 9.1, 2, 9, 12346, 987654, 0.0123456},
             {4, 5, 2.5, 0.45, 0.67, -0.3, 5.3, -0.2, 5.2, 300000, 700000, 0.3}},
            40.25,
            4,
            4995,
            0.0051162,
            "Aphids",
            3600};
}

void Fill(AnalysisState& state, const TestResults& r, std::int64_t end) {
    SetEditionValues(state);
    state.CartesianTest = true;
    state.OutputBaseName = "25A-Cartesian diff";
    state.CurrentParameterName = std::string(1, 'r');
    state.ProjectName = r.ProjectName;
    const auto n = static_cast<std::int16_t>(r.Treatments.size());
    state.TreatmentCount = n;
    for (int k = 1; k <= n; ++k) {
        const TreatmentRow& t = r.Treatments[static_cast<std::size_t>(k - 1)];
        state.TreatmentName(k) = t.Name;
        state.ParameterName(k) = state.CurrentParameterName;
        state.OriginalMean(k) = t.Original;
        state.BootstrapMean(k) = t.BootstrapMean;
        state.BootstrapVariance(k) = t.Variance;
        state.TreatmentSE(k) = t.SE;
        state.SampleSize(k) = t.SampleSize;
        state.BootstrapNumber(k) = t.BootstrapNumber;
        state.BootstrapNumberReal(k) = t.BootstrapNumber;
    }
    for (const PairRow& p : r.Pairs) {
        state.CartesianMean(p.I, p.J) = p.CartesianMean;
        state.CartesianVariance(p.I, p.J) = p.CartesianVariance;
        state.CartesianSD(p.I, p.J) = p.CartesianSD;
        state.TLower(p.I, p.J) = p.TLower;
        state.TUpper(p.I, p.J) = p.TUpper;
        state.PercentileLower(p.I, p.J) = p.PercentileLower;
        state.PercentileUpper(p.I, p.J) = p.PercentileUpper;
        state.InsignificantCount(p.I, p.J) = p.Insignificant;
        state.SignificantCount(p.I, p.J) = p.Significant;
        state.PValue(p.I, p.J) = p.P;
        state.PValue(p.J, p.I) = p.P;
    }
    state.FValue = r.FValue;
    state.DfBetweenGroups = r.DfBetween;
    state.DfWithinGroups = r.DfWithin;
    state.SidakAlpha = r.SidakAlpha;
    state.TableRuleDouble = std::string(static_cast<std::size_t>(11 * n + 15), '=');
    state.TableRuleSingle = std::string(static_cast<std::size_t>(11 * n + 15), '-');
    state.TestStartTime = DateTime::FromEpochUtc(end - r.Seconds);
    state.TestBeganText = "Cartesian paired test began at:" + DateText(state.TestStartTime);
}

}  // namespace vortel::test
