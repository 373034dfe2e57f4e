#include "sortcount/SortCount.h"

#include <cmath>
#include <memory>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/state/AnalysisState.h"
#include "sortcount/SortForBootstrapResults.h"

namespace vortel {

SortCountResult SortAndCount(const SortCountRequest& request) {
    const std::size_t count = request.Values.size();
    if (count == 0) throw RunStopped("There are no values to sort.");
    // One position stays free after the values.
    CheckValueCount(static_cast<std::int64_t>(count) + 1, [&] {
        return "There are " + Text(static_cast<std::int64_t>(count)) + " values to sort; at most " +
               Text(ListCapacity - 1) + " are sorted.";
    });
    if (!(request.Decimals >= -1 && request.Decimals <= 5))
        throw RunStopped("Decimals are -1 (full precision) or 0 to 5, not " +
                         Text(request.Decimals) + ".");
    const auto n = static_cast<std::int32_t>(count);
    // The state is large in fields but small until values are put in it.
    auto state = std::make_unique<AnalysisState>();
    AnalysisState& s = *state;
    double sum = 0;
    double* values = s.SortedDifferences.Through(n);
    for (std::int32_t k = 1; k <= n; ++k) {
        values[k] = request.Values[static_cast<std::size_t>(k - 1)];
        sum += values[k];
    }
    // As the utility refuses them: their mean, and the sort's split points, would be meaningless.
    if (!std::isfinite(sum)) throw RunStopped("The values add up beyond the range of numbers.");
    s.DecimalLimit = request.Decimals;
    SortLoadedValues(s, s, s, s, n, "the values given");
    if (!CountClasses(s, s, n))
        throw RunStopped("The values hold more than " + Text(ClassCapacity) +
                         " classes of different values, more than the counts table holds.");

    SortCountResult r;
    r.Mean = sum / n;
    r.Sorted.reserve(count);
    const std::int32_t* serials = s.SortOutputSerial.Through(n);
    for (std::int32_t k = 1; k <= n; ++k) {
        r.Sorted.push_back({values[k], serials[k]});
        // The ranks the percentile file names, found as it finds them.
        const double place = n;
        if (place * 0.025 == k)
            r.Percentile025 = serials[k];
        else if (place * 0.5 == k)
            r.Percentile50 = serials[k];
        else if (place * 0.975 == k)
            r.Percentile975 = serials[k];
    }
    r.Classes.reserve(static_cast<std::size_t>(s.ClassCount));
    for (std::int32_t g = 1; g <= s.ClassCount; ++g)
        r.Classes.push_back({s.ClassValue(g), s.ClassFrequency(g)});
    r.HasView =
        request.DataKind != SortCountRequest::Kind::Results && s.ClassCount <= ViewedClassLimit;
    if (r.HasView)
        r.View = MakeNormalityData(r.Classes, request.TreatmentName, request.VariableName);
    return r;
}

}  // namespace vortel
