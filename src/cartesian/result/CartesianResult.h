// What a Cartesian paired test found, as one value: every writer (the report, the CSV tables, the
// grid, the letter table, the figure) and every front end reads its numbers from here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "letters/LetterMarking.h"

namespace vortel {

struct PairScratch;
struct TestResults;
struct Treatments;

// How the test took the bootstrap values before comparing them.
enum class Transformation { None = 0, Arcsine = 1, Logit = 2 };

// x as the test compares it: itself, arcsin(sqrt(x)) or ln(x / (1 - x)); NaN outside the
// transformation's domain (the test refuses such bootstrap values, but an original estimate is
// never checked).
double TransformedValue(double x, Transformation t);

// The position (from 1) of a percentile among c sorted values: c * share + 0.5, halves to even.
std::int64_t PercentileRank(double c, double share);

struct TreatmentResult {
    std::string Name;
    std::int32_t SampleSize = 0;  // n of the original data
    std::int32_t BootstrapNumber = 0;
    double Original = 0;  // the estimate from the original data
    double BootstrapMean = 0;
    double Variance = 0;
    double SE = 0;
    // The treatment's letters in the marking table ("ab"); treatments sharing a letter do not
    // differ at 5 %.
    std::string Letters;
    // The 95 % percentile interval of the treatment's bootstrap values as the test compared them
    // (transformed where asked): the values at ranks PercentileRank(B, 0.025) and
    // PercentileRank(B, 0.975) in increasing order, the ranks the pairs' intervals take.
    double PercentileLower = 0, PercentileUpper = 0;
};

struct PairResult {
    // Report positions (from 1) of the pair, I < J.
    int I = 0, J = 0;
    // The difference the test takes: treatment Minuend minus treatment Subtrahend (positions),
    // the larger bootstrap mean first.
    int Minuend = 0, Subtrahend = 0;
    double C = 0;  // B_i x B_j differences
    double Mean = 0, Variance = 0, SE = 0;
    double TLower = 0, TUpper = 0;
    double PercentileLower = 0, PercentileUpper = 0;
    // Differences outside and inside (0, 2 x mean difference).
    std::int64_t Insignificant = 0, Significant = 0;
    double P = 0;
    // Verdicts. Equal means are not different, whatever the intervals say.
    bool TSignificant = false;
    bool PercentileSignificant = false;
    bool AtFivePercent = false;  // P <= 0.05
    bool BelowSidak = false;     // P below the Sidak level
};

struct CartesianResult {
    std::string Parameter;
    Transformation Transform = Transformation::None;
    std::vector<TreatmentResult> Treatments;  // in report order
    std::vector<PairResult> Pairs;            // (1,2), (1,3), ..., (N-1,N)
    double F = 0;
    double DfBetween = 0;
    double DfWithin = 0;
    double SidakAlpha = 0;

    int TreatmentCount() const { return static_cast<int>(Treatments.size()); }
    const TreatmentResult& Treatment(int t) const {
        return Treatments[static_cast<std::size_t>(t - 1)];
    }
    // Pair (i, j), i < j, in report positions.
    const PairResult& Pair(int i, int j) const;
};

// The result of the test the state holds, read once after its last pair (and taken by the
// writers from then on).
// `sorted` may give a treatment's values in increasing order where they are at hand (empty
// where not), which spares selecting its percentile interval again.
CartesianResult CartesianResultOf(
    const Treatments& treatments, const TestResults& results, const PairScratch& work,
    const std::function<std::span<const double>(int)>& sorted = nullptr);

// What the letter marking reads of the result; it reads the result's P-values as long as it
// lives.
MarkingInput MarkingInputOf(const CartesianResult& result);

}  // namespace vortel
