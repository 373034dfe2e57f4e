// What the frequency view of the sort-and-count utility draws: the classes as a histogram and
// their cumulative frequency on a probit scale beside the line a normal distribution gives.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace vortel {

struct SortCountRecord;
struct Treatments;

struct FrequencyClass {
    double Value = 0;
    double Count = 0;
};

// One bar of the histogram, from Lower to Upper on the value axis.
struct HistogramBar {
    double Lower = 0;
    double Upper = 0;
    double Count = 0;
};

// A point of the probit chart: a value against the normal quantile z of a cumulative fraction.
struct ProbitPoint {
    double Value = 0;
    double CumulativeFraction = 0;
    double Probit = 0;
};

struct NormalityData {
    std::string Title;         // "Cumulative frequency"
    std::string Caption;       // "Cumu. Freq. of " + TreatmentName(1) + " in Probit"
    std::string VariableName;  // names the value axis
    std::vector<FrequencyClass> Classes;
    std::vector<HistogramBar> Histogram;
    // Every class but the last: its cumulative fraction is 1, which has no normal quantile.
    std::vector<ProbitPoint> Points;
    double Total = 0;  // number of values counted
    // The straight line z = (x - Mean) / StandardDeviation across the classes' range; only when
    // there are at least two values and they are not all equal.
    bool HasNormalLine = false;
    double Mean = 0;
    double StandardDeviation = 0;  // divisor: number of values minus 1
    ProbitPoint LineStart, LineEnd;
};

// Up to this many classes the histogram draws one bar per class; beyond, equal-width bins.
inline constexpr std::size_t BarPerClassLimit = 50;

// The histogram of the classes: one bar per class, 0.8 of the narrowest gap between classes
// wide, for few classes; otherwise 2 * cbrt(total) equal bins (between 10 and 60, at most one
// per class) from the smallest to the largest value, the largest value in the last bin.
std::vector<HistogramBar> HistogramBars(std::span<const FrequencyClass> classes);

// The step between axis ticks: 1, 2 or 5 times a power of ten, giving about `count` ticks over
// `span`; 0 when the span is not a positive finite number.
double NiceTickStep(double span, double count);
// The decimals a tick label needs to show multiples of `step` exactly (0 for 1, 20 or 500).
int TickDecimals(double step);

// Everything the view draws from classes in increasing value order.
NormalityData MakeNormalityData(std::span<const FrequencyClass> classes,
                                const std::string& treatmentName, const std::string& variableName);
// From ClassValue and ClassFrequency (1..ClassCount), TreatmentName(1) and SortVariableName.
NormalityData MakeNormalityData(const SortCountRecord& sort, const Treatments& treatments);

}  // namespace vortel
