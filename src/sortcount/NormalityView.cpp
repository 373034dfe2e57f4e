#include "sortcount/NormalityView.h"

#include <algorithm>
#include <cmath>

#include "shell/base/CorrectlyRounded.h"
#include "shell/state/SortCountRecord.h"
#include "shell/state/Treatments.h"
#include "sortcount/StandardNormal.h"

namespace vortel {

std::vector<HistogramBar> HistogramBars(std::span<const FrequencyClass> classes) {
    std::vector<HistogramBar> bars;
    if (classes.empty()) return bars;
    const double lowest = classes.front().Value;
    const double highest = classes.back().Value;

    if (classes.size() <= BarPerClassLimit) {
        double gap = 0;
        for (std::size_t g = 1; g < classes.size(); ++g) {
            const double d = classes[g].Value - classes[g - 1].Value;
            if (d > 0 && (gap == 0 || d < gap)) gap = d;
        }
        // A lone class still needs a visible width.
        if (gap == 0) gap = std::max(std::fabs(lowest) * 0.1, 1.0);
        const double half = 0.4 * gap;
        for (const auto& c : classes) bars.push_back({c.Value - half, c.Value + half, c.Count});
        return bars;
    }

    double total = 0;
    for (const auto& c : classes) total += c.Count;
    // 2 cbrt(total) rounded up (Rice's rule), found by comparing exact cubes: the C libraries'
    // cube roots differ in their last digits between builds.
    double rice = 10;
    while (rice < 60 && rice * rice * rice < 8 * total) ++rice;
    const std::size_t bins =
        std::min(classes.size(), static_cast<std::size_t>(std::clamp(rice, 10.0, 60.0)));
    const double width = (highest - lowest) / static_cast<double>(bins);
    bars.resize(bins);
    for (std::size_t b = 0; b < bins; ++b) {
        bars[b].Lower = lowest + width * static_cast<double>(b);
        bars[b].Upper = b + 1 == bins ? highest : lowest + width * static_cast<double>(b + 1);
    }
    for (const auto& c : classes) {
        std::size_t b = width > 0 ? static_cast<std::size_t>((c.Value - lowest) / width) : 0;
        if (b >= bins) b = bins - 1;
        bars[b].Count += c.Count;
    }
    return bars;
}

double NiceTickStep(double span, double count) {
    const double raw = span / count;
    if (!(raw > 0) || !std::isfinite(raw)) return 0;
    const double power = rounded::Pow(10.0, std::floor(rounded::Log10(raw)));
    const double mantissa = raw / power;
    return mantissa < 1.5   ? power
           : mantissa < 3.5 ? 2 * power
           : mantissa < 7.5 ? 5 * power
                            : 10 * power;
}

int TickDecimals(double step) {
    if (!(step > 0) || !std::isfinite(step)) return 0;
    // The step's one significant digit sits at this power of ten; the small allowance keeps
    // 0.1, which is a hair above its power in binary, from asking for a second decimal.
    const int exponent = static_cast<int>(std::floor(rounded::Log10(step) + 1e-9));
    return std::clamp(-exponent, 0, 15);
}

NormalityData MakeNormalityData(std::span<const FrequencyClass> classes,
                                const std::string& treatmentName, const std::string& variableName) {
    NormalityData data;
    data.Title = "Cumulative frequency";
    data.Caption = "Cumu. Freq. of " + treatmentName + " in Probit";
    data.VariableName = variableName;
    data.Classes.assign(classes.begin(), classes.end());
    data.Histogram = HistogramBars(classes);

    double total = 0, weighted = 0;
    for (const auto& c : classes) {
        total += c.Count;
        weighted += c.Value * c.Count;
    }
    data.Total = total;
    if (total <= 0) return data;

    double cumulative = 0;
    for (std::size_t g = 0; g + 1 < classes.size(); ++g) {
        cumulative += classes[g].Count;
        const double fraction = cumulative / total;
        data.Points.push_back({classes[g].Value, fraction, NormalQuantile(fraction)});
    }

    data.Mean = weighted / total;
    double squares = 0;
    for (const auto& c : classes)
        squares += c.Count * (c.Value - data.Mean) * (c.Value - data.Mean);
    if (total >= 2 && squares > 0) {
        data.StandardDeviation = std::sqrt(squares / (total - 1));
        data.HasNormalLine = true;
        const auto onLine = [&](double x) {
            const double z = (x - data.Mean) / data.StandardDeviation;
            return ProbitPoint{x, NormalCdf(z), z};
        };
        data.LineStart = onLine(classes.front().Value);
        data.LineEnd = onLine(classes.back().Value);
    }
    return data;
}

NormalityData MakeNormalityData(const SortCountRecord& sort, const Treatments& treatments) {
    std::vector<FrequencyClass> classes;
    classes.reserve(static_cast<std::size_t>(std::max(sort.ClassCount, 0)));
    for (std::int32_t g = 1; g <= sort.ClassCount; ++g)
        classes.push_back({sort.ClassValue.Get(g), sort.ClassFrequency.Get(g)});
    return MakeNormalityData(classes, treatments.TreatmentName(1), sort.SortVariableName);
}

}  // namespace vortel
