#include "cartesian/result/CartesianResult.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "cartesian/result/PairOrder.h"
#include "letters/LetterMarking.h"
#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"
#include "shell/state/PairScratch.h"
#include "shell/state/TestResults.h"
#include "shell/state/Treatments.h"

namespace vortel {

namespace {

// The 2.5 % and 97.5 % values of treatment t's bootstrap values as the test compared them.
void PercentileInterval(const PairScratch& work, const Treatments& treatments, int t,
                        std::span<const double> sorted, TreatmentResult& tr) {
    const std::int32_t b = treatments.BootstrapNumber(t);
    if (b < 1) return;
    const auto rank = [&](double share) {
        return std::clamp<std::int64_t>(PercentileRank(b, share), 1, b);
    };
    if (sorted.size() == static_cast<std::size_t>(b)) {
        tr.PercentileLower = sorted[static_cast<std::size_t>(rank(0.025) - 1)];
        tr.PercentileUpper = sorted[static_cast<std::size_t>(rank(0.975) - 1)];
        return;
    }
    std::vector<double> v;
    v.reserve(static_cast<std::size_t>(b));
    for (std::int32_t k = 1; k <= b; ++k) v.push_back(work.WorkingValues.Get(k, t));
    // The upper rank is never below the lower, so its search starts where the lower's ended.
    auto from = v.begin();
    const auto at = [&](double share) {
        const auto nth = v.begin() + (rank(share) - 1);
        std::nth_element(from, nth, v.end());
        from = nth;
        return *nth;
    };
    tr.PercentileLower = at(0.025);
    tr.PercentileUpper = at(0.975);
}

}  // namespace

double TransformedValue(double x, Transformation t) {
    switch (t) {
        case Transformation::Arcsine: {
            if (!(x >= 0 && x <= 1)) return std::numeric_limits<double>::quiet_NaN();
            // Taken as arctan(y / sqrt(1 - y^2)), which fixes the last digits of the results;
            // at y = 1 that divides by zero, where the arcsine is plainly a right angle.
            const double y = std::sqrt(x);
            if (y == 1) return std::numbers::pi / 2;
            return rounded::Atan(y / std::sqrt(1 - y * y));
        }
        case Transformation::Logit:
            if (!(x > 0 && x < 1)) return std::numeric_limits<double>::quiet_NaN();
            return rounded::Log(x / (1 - x));
        default:
            return x;
    }
}

std::int64_t PercentileRank(double c, double share) {
    return static_cast<std::int64_t>(RoundHalfEven(c * share + 0.5));
}

const PairResult& CartesianResult::Pair(int i, int j) const {
    // Pairs of treatment 1 come first (N - 1 of them), then those of 2, and so on.
    const int n = TreatmentCount();
    const int before = (i - 1) * n - (i - 1) * i / 2;
    return Pairs[static_cast<std::size_t>(before + (j - i - 1))];
}

CartesianResult CartesianResultOf(const Treatments& treatments, const TestResults& results,
                                  const PairScratch& work,
                                  const std::function<std::span<const double>(int)>& sorted) {
    CartesianResult r;
    const int n = treatments.TreatmentCount;
    r.Parameter = treatments.CurrentParameterName;
    r.Transform = static_cast<Transformation>(treatments.TransformationUsed);
    r.F = results.FValue;
    r.DfBetween = results.DfBetweenGroups;
    r.DfWithin = results.DfWithinGroups;
    r.SidakAlpha = results.SidakAlpha;

    for (int t = 1; t <= n; ++t) {
        TreatmentResult tr;
        tr.Name = treatments.TreatmentName(t);
        tr.SampleSize = treatments.SampleSize(t);
        tr.BootstrapNumber = treatments.BootstrapNumber(t);
        tr.Original = treatments.OriginalMean(t);
        tr.BootstrapMean = treatments.BootstrapMean(t);
        tr.Variance = treatments.BootstrapVariance(t);
        tr.SE = treatments.TreatmentSE(t);
        PercentileInterval(work, treatments, t, sorted ? sorted(t) : std::span<const double>(), tr);
        r.Treatments.push_back(std::move(tr));
    }
    for (int i = 1; i <= n - 1; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            PairResult p;
            p.I = i;
            p.J = j;
            const bool iMinusJ = FirstMinusSecond(treatments, i, j);
            p.Minuend = iMinusJ ? i : j;
            p.Subtrahend = iMinusJ ? j : i;
            p.C = CartesianCount(treatments, i, j);
            p.Mean = results.CartesianMean(i, j);
            p.Variance = results.CartesianVariance(i, j);
            p.SE = results.CartesianSD(i, j);
            p.TLower = results.TLower(i, j);
            p.TUpper = results.TUpper(i, j);
            p.PercentileLower = results.PercentileLower(i, j);
            p.PercentileUpper = results.PercentileUpper(i, j);
            p.Insignificant = results.InsignificantCount(i, j);
            p.Significant = results.SignificantCount(i, j);
            p.P = results.PValue(i, j);
            const bool meansDiffer = treatments.BootstrapMean(i) != treatments.BootstrapMean(j);
            p.TSignificant = meansDiffer && p.TLower > 0;
            p.PercentileSignificant = meansDiffer && p.PercentileLower > 0;
            p.AtFivePercent = p.P <= 0.05;
            p.BelowSidak = p.P < results.SidakAlpha;
            r.Pairs.push_back(p);
        }
    }
    // The letters of the marking table, from the pairs just read.
    const std::vector<std::string> letters = TreatmentMarkings(MarkingInputOf(r));
    for (std::size_t row = 0; row < letters.size() && row < r.Treatments.size(); ++row)
        r.Treatments[row].Letters = letters[row];
    return r;
}

MarkingInput MarkingInputOf(const CartesianResult& result) {
    MarkingInput in;
    for (const TreatmentResult& t : result.Treatments) {
        in.Names.push_back(t.Name);
        in.Original.push_back(t.Original);
        in.SE.push_back(t.SE);
    }
    in.P = [&result](int i, int j) { return result.Pair(i, j).P; };
    return in;
}

}  // namespace vortel
