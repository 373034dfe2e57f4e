#include "cartesian/PairComparisons.h"

#include <array>
#include <cmath>
#include <optional>

#include "cartesian/DetailFiles.h"
#include "cartesian/ExactPairPath.h"
#include "cartesian/ExactPairShare.h"
#include "cartesian/PairsAhead.h"
#include "cartesian/result/PairOrder.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"
#include "sorting/DifferenceSort.h"

namespace vortel {

namespace {

std::string Named(const Treatments& state, std::int16_t t) {
    return "treatment " + Text(t) + " (\"" + state.TreatmentName(t) + "\")";
}

// The loop every pair runs: one difference at a time in the order of k, so that the sums come
// out digit for digit the same however the differences are later used. `each` sees every
// difference with its serial and class (the detail files); without files it is empty and the
// loop is only the subtraction, two compares and two sums. Its start is aligned to a cache line,
// so the loop runs at one speed wherever the linker places the code around it.
template <bool Negate, class Each>
[[gnu::noinline, gnu::aligned(64)]] PairTally Tally(std::span<const double> x,
                                                    std::span<const double> y,
                                                    double meanDifference, Each&& each) {
    const double twice = 2 * meanDifference;
    double sum = 0;
    double sumOfSquares = 0;
    std::int64_t low = 0;
    std::int64_t high = 0;
    std::int64_t k = 0;
    for (const double xa : x) {
        for (const double yb : y) {
            const double d = Negate ? yb - xa : xa - yb;
            ++k;
            // "Not above 0", so that a difference that is not a number counts low. Bitwise, not
            // short-circuit: a branch here would be mispredicted for half of an even pair.
            const int above = d > 0;
            const int high2 = above & static_cast<int>(d >= twice);
            low += 1 - above;
            high += high2;
            each(k, d, static_cast<bool>(above & (1 - high2)));
            sum += d;
            sumOfSquares += d * d;
        }
    }
    PairTally t;
    t.Sum = sum;
    t.SumOfSquares = sumOfSquares;
    t.Low = low;
    t.High = high;
    t.Significant = k - low - high;
    return t;
}

template <class Each>
PairTally TallyOriented(std::span<const double> x, std::span<const double> y, bool negate,
                        double meanDifference, Each&& each) {
    return negate ? Tally<true>(x, y, meanDifference, each)
                  : Tally<false>(x, y, meanDifference, each);
}

}  // namespace

void SummariseTreatments(Treatments& s, PairScratch& work, TestResults& results) {
    const std::int16_t n = s.TreatmentCount;
    for (std::int16_t t = 1; t <= n; ++t) {
        const std::int32_t b = s.BootstrapNumber(t);
        std::int32_t* weight = work.ValueWeight.Through(b);
        double* working = work.WorkingValues.List(t).Through(b);
        for (std::int32_t k = 1; k <= b; ++k) weight[k] = 0, working[k] = 0;
        s.EffectiveBootstrapNumber(t) = 0;
        work.TreatmentSum(t) = 0;
        work.TreatmentSumOfSquares(t) = 0;
        s.BootstrapMean(t) = 0;
        s.BootstrapVariance(t) = 0;
        work.SumsVariance(t) = 0;
    }
    for (std::int16_t i = 1; i <= n; ++i)
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j)
            work.HighCount(i, j) = work.LowCount(i, j) = results.InsignificantCount(i, j) =
                results.SignificantCount(i, j) = 0;
    work.SumOfMeans = 0;
    work.BetweenSS = 0;
    work.WithinSS = 0;
    results.DfWithinGroups = 0;

    for (std::int16_t t = 1; t <= n; ++t) {
        const std::int32_t b = s.BootstrapNumber(t);
        std::int32_t* weight = work.ValueWeight.Through(b);
        double* x = work.WorkingValues.List(t).Through(b);
        const std::int16_t* flag = s.ValueFlag.Through(b);
        const double* values = s.BootstrapValues.List(t).Through(b);
        std::int32_t m = 0;
        double sum = 0;
        double sumOfSquares = 0;
        for (std::int32_t k = 1; k <= b; ++k) {
            weight[k] = flag[k];
            x[k] = values[k];
            m += weight[k];
            sum += weight[k] * x[k];
            sumOfSquares += x[k] * x[k] * weight[k];
        }
        if (m < 2) {
            throw RunStopped("The bootstrap values of " + Named(s, t) + " count " + Text(m) +
                             "; a treatment needs at least two.");
        }
        s.EffectiveBootstrapNumber(t) = m;
        work.TreatmentSum(t) = sum;
        work.TreatmentSumOfSquares(t) = sumOfSquares;
        const double mean = sum / m;
        s.BootstrapMean(t) = mean;
        work.SumOfMeans += mean;
        work.SumsVariance(t) = (sumOfSquares - sum * sum / m) / (m - 1);
        double squares = 0;
        for (std::int32_t k = 1; k <= b; ++k) squares += (x[k] - mean) * (x[k] - mean);
        s.BootstrapVariance(t) = squares / (m - 1);
        s.TreatmentSE(t) = std::sqrt(s.BootstrapVariance(t));
    }
}

namespace {

void ComputeFValue(const Treatments& s, PairScratch& work, TestResults& results) {
    const std::int16_t n = s.TreatmentCount;
    work.GrandMean = work.SumOfMeans / n;
    for (std::int16_t t = 1; t <= n; ++t) {
        const double size = s.SampleSize(t);
        const double deviation = s.BootstrapMean(t) - work.GrandMean;
        work.BetweenSS += deviation * deviation * size;
        work.WithinSS += (size - 1) * work.SumsVariance(t);
        results.DfWithinGroups += size - 1;
    }
    results.DfBetweenGroups = n - 1;
    const double betweenMeanSquare = work.BetweenSS / (n - 1);
    const double withinMeanSquare = work.WithinSS / results.DfWithinGroups;
    // Treatments without spread have no F value; 0 says so, where keeping the value of an
    // earlier test would report that test's F for this one. The variances are not exactly 0 for
    // constant values such as 0.3 (the sum and the mean round), so spread is read from the
    // values themselves.
    bool spread = false;
    for (std::int16_t t = 1; t <= n && !spread; ++t) {
        const std::int32_t b = s.BootstrapNumber(t);
        const double* x = work.WorkingValues.List(t).Through(b);
        for (std::int32_t k = 2; k <= b && !spread; ++k) spread = x[k] != x[1];
    }
    results.FValue = spread && withinMeanSquare != 0 ? betweenMeanSquare / withinMeanSquare : 0;
}

void BeginTest(const Treatments& s, TestResults& results, TestSeams& seams) {
    const DateTime now = seams.clock.Now();
    results.TestBeganText = "Cartesian paired test began at:" + DateText(now);
    results.TestStartTime = now;
    seams.events.Began(results.TestBeganText, s.PairCount);
}

// The two treatments of a pair as the test takes them: every difference is the larger-mean
// treatment minus the other, so D >= 0.
struct PairSamples {
    bool Negate = false;  // j minus i
    double MeanDifference = 0;
    double C = 0;
    std::span<const double> X, Y;
};

PairSamples SamplesOf(const Treatments& s, PairScratch& work, std::int16_t i, std::int16_t j) {
    PairSamples p;
    const bool iMinusJ = FirstMinusSecond(s, i, j);
    p.Negate = !iMinusJ;
    p.MeanDifference =
        iMinusJ ? s.BootstrapMean(i) - s.BootstrapMean(j) : s.BootstrapMean(j) - s.BootstrapMean(i);
    p.C = CartesianCount(s, i, j);
    const auto bi = static_cast<std::int64_t>(s.BootstrapNumberReal(i));
    const auto bj = static_cast<std::int64_t>(s.BootstrapNumberReal(j));
    p.X = {work.WorkingValues.List(i).Through(bi) + 1, static_cast<std::size_t>(bi)};
    p.Y = {work.WorkingValues.List(j).Through(bj) + 1, static_cast<std::size_t>(bj)};
    return p;
}

// Every difference once, in the order of k: the counts, the sums, the mean and SD, and the
// detail files when asked for.
void TallyPair(const PairParts& s, const TestSeams& seams, OutputSet& detailFiles,
               PairsAhead& ahead, std::int16_t i, std::int16_t j, const PairSamples& p) {
    PairScratch& work = s.work;
    TestResults& results = s.results;
    PairTally tally;
    if (s.options.DetailedDifferences) {
        PairDetailFiles files(detailFiles, s.files, s.treatments, seams.folder, i, j, p.C,
                              p.MeanDifference);
        tally = TallyOriented(
            p.X, p.Y, p.Negate, p.MeanDifference,
            [&](std::int64_t k, double d, bool significant) { files.Add(k, d, significant); });
        files.Finish();
    } else {
        tally = ahead.Tally(s.treatments, work, i, j);
    }
    work.CartesianIndex = static_cast<std::int64_t>(p.X.size() * p.Y.size());
    work.PairSum = tally.Sum;
    work.PairSumOfSquares = tally.SumOfSquares;
    work.LowCount(i, j) = tally.Low;
    work.HighCount(i, j) = tally.High;
    results.SignificantCount(i, j) = tally.Significant;

    const double c = p.C;
    results.CartesianMean(i, j) = work.PairSum / c;
    results.CartesianVariance(i, j) =
        (work.PairSumOfSquares - work.PairSum * work.PairSum / c) / (c - 1);
    // Equal differences can leave a variance a rounding below 0, whose root is not a number.
    if (results.CartesianVariance(i, j) < 0) results.CartesianVariance(i, j) = 0;
    results.CartesianSD(i, j) = std::sqrt(results.CartesianVariance(i, j));
}

// The percentile limits from the partitioned sort of the pair's differences.
void SortPair(const PairParts& s, std::int16_t i, std::int16_t j, const PairSamples& p) {
    s.work.SortCount = static_cast<std::int32_t>(RoundHalfEven(p.C));
    const std::array<std::int64_t, 2> ranks{PercentileRank(p.C, 0.025), PercentileRank(p.C, 0.975)};
    std::array<double, 2> percentiles{};
    QuickSortOfDifferences(s.work, s.handOver, s.files,
                           DifferenceList{p.X, p.Y, p.Negate, s.work.PairSum}, ranks, percentiles);
    s.results.PercentileLower(i, j) = percentiles[0];
    s.results.PercentileUpper(i, j) = percentiles[1];
}

// What both paths end a pair with: P from the counts and the t interval from the mean and SD.
void FinishPair(const PairScratch& work, TestResults& r, std::int16_t i, std::int16_t j, double c) {
    r.InsignificantCount(i, j) = work.LowCount(i, j) + work.HighCount(i, j);
    r.PValue(i, j) = r.PValue(j, i) = static_cast<double>(r.InsignificantCount(i, j)) / c;
    r.TLower(i, j) = r.CartesianMean(i, j) - 1.959964 * r.CartesianSD(i, j);
    r.TUpper(i, j) = r.CartesianMean(i, j) + 1.959964 * r.CartesianSD(i, j);
}

// One pair, with its progress shown before the tally, before the sort and after the pair.
void ComparePair(const PairParts& s, TestSeams& seams, OutputSet& detailFiles, PairsAhead& ahead,
                 std::int16_t i, std::int16_t j) {
    seams.events.PairStarted(i, j, PairPhase::Differences);
    s.work.PairSum = 0;
    s.work.PairSumOfSquares = 0;
    s.results.PairedDifferenceMean(i, j) = 0;
    s.results.PairedDifferenceSE(i, j) = 0;

    const PairSamples p = SamplesOf(s.treatments, s.work, i, j);
    if (PastTheLists(p.C)) {
        // Here the two paths part. Past the lists every result comes exactly from the sorted
        // samples; the partitioned sort does not run for the pair, so it leaves the run-wide
        // SortGroupLimit as it was, and no detail files are written (SettleDetailFiles).
        ahead.CompareExactly(s.treatments, s.work, s.results, i, j);
    } else {
        TallyPair(s, seams, detailFiles, ahead, i, j, p);
        seams.events.PairStarted(i, j, PairPhase::Sorting);
        SortPair(s, i, j, p);
    }
    FinishPair(s.work, s.results, i, j, p.C);
    seams.events.PairDone(i, j, seams.clock.Now());
}

}  // namespace

PairTally TallyDifferences(std::span<const double> x, std::span<const double> y, bool negate,
                           double meanDifference) {
    return TallyOriented(x, y, negate, meanDifference, [](std::int64_t, double, bool) {});
}

void CheckTreatmentsFitTest(const Treatments& state) {
    const std::int16_t n = state.TreatmentCount;
    CheckTreatmentCount(n, [&] {
        return "A Cartesian paired test compares 2 to " + Text(MostTreatments) +
               " treatments; the test has " + Text(n) + ".";
    });
    for (std::int16_t t = 1; t <= n; ++t) {
        const std::int32_t b = state.BootstrapNumber(t);
        if (b < 2 || state.BootstrapNumberReal(t) < 2) {
            throw RunStopped("The bootstrap number B of " + Named(state, t) + " is " + Text(b) +
                             "; a Cartesian paired test needs at least two values per treatment.");
        }
    }
    // Sums of squares of up to 4,000,005 differences stay finite only for values well below
    // the largest double; beyond that every statistic of the test would be infinite or NaN.
    constexpr double LargestValue = 1e150;
    for (std::int16_t t = 1; t <= n; ++t) {
        for (std::int32_t k = 1; k <= state.BootstrapNumber(t); ++k) {
            const double x = state.BootstrapValues.Get(k, t);
            if (!(std::fabs(x) <= LargestValue)) {
                throw RunStopped("Bootstrap value " + Text(k) + " of " + Named(state, t) + " is " +
                                 NumberText(x) +
                                 "; values beyond 1E+150 in size are too large "
                                 "for the sums of squares of the test.");
            }
        }
    }
    double df = 0;
    std::string sizes;
    for (std::int16_t t = 1; t <= n; ++t) {
        df += static_cast<double>(state.SampleSize(t)) - 1;
        sizes += (t > 1 ? ", " : "") + Text(state.SampleSize(t));
    }
    if (!(df > 0)) {
        throw RunStopped("The sample sizes n of the treatments (" + sizes +
                         ") leave the F value no within-groups degrees of freedom; at least one "
                         "treatment needs n of 2 or more.");
    }
}

CartesianResult CompareLoadedTreatments(const PairParts& parts, TestSeams& seams,
                                        OutputSet& detailFiles,
                                        const std::vector<ExactPairOutcome>* given) {
    Treatments& treatments = parts.treatments;
    CheckTreatmentsFitTest(treatments);
    SettleDetailFiles(parts.options, treatments, seams.questions);
    parts.files.FlowLine("Sub CartesianDifference2");
    SummariseTreatments(treatments, parts.work, parts.results);
    ComputeFValue(treatments, parts.work, parts.results);
    BeginTest(treatments, parts.results, seams);

    PairsAhead ahead;
    if (given) {
        for (const ExactPairOutcome& o : *given) {
            if (o.I < 1 || o.J <= o.I || o.J > treatments.TreatmentCount ||
                !PastTheLists(CartesianCount(treatments, o.I, o.J)))
                throw RunStopped("Pair " + Text(o.I) + "-" + Text(o.J) +
                                 " was given as computed, but it is not a pair of this test past "
                                 "the value lists.");
            ahead.Give(static_cast<std::int16_t>(o.I), static_cast<std::int16_t>(o.J), o.Results);
        }
    }
    ahead.Start(parts.options, treatments, parts.work, seams.stop);
    const std::int16_t n = treatments.TreatmentCount;
    for (std::int16_t i = 1; i <= n - 1; ++i)
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            StopIfRequested(seams.stop);
            ComparePair(parts, seams, detailFiles, ahead, i, j);
        }
    // The treatments' percentile intervals read off the samples the exact path sorted, where
    // it did, rather than selected again.
    return CartesianResultOf(treatments, parts.results, parts.work, [&](int t) {
        return ahead.SortedValues(static_cast<std::int16_t>(t));
    });
}

}  // namespace vortel
