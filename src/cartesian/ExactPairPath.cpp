#include "cartesian/ExactPairPath.h"

#include <algorithm>

#include "cartesian/result/PairOrder.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel {

bool PastTheLists(double c) { return c > ListCapacity; }

double DetailFileBytes(double c) {
    // The digits of the serial numbers 1..c, in three of the four records (the fourth counts
    // among its class, taken as the same); the differences' digits about 17; a comma and a line
    // end to each record.
    double serialDigits = 0;
    double from = 1;
    for (int digits = 1; from <= c; ++digits, from *= 10)
        serialDigits += digits * (std::min(c, from * 10 - 1) - from + 1);
    return 4 * serialDigits + 4 * c * (17 + 3);
}

void SettleDetailFiles(TestOptions& options, const Treatments& treatments,
                       TestQuestions& questions) {
    if (!options.DetailedDifferences) return;
    const std::int16_t n = treatments.TreatmentCount;
    for (std::int16_t i = 1; i < n; ++i) {
        for (std::int16_t j = static_cast<std::int16_t>(i + 1); j <= n; ++j) {
            const double c = CartesianCount(treatments, i, j);
            if (!PastTheLists(c)) continue;
            const std::string pair = "The pair of treatment " + Text(i) + " (\"" +
                                     treatments.TreatmentName(i) + "\") and treatment " + Text(j) +
                                     " (\"" + treatments.TreatmentName(j) + "\") has " + Text(c) +
                                     " Cartesian differences; its detail files would take about " +
                                     Text(RoundToDecimals(DetailFileBytes(c) / 1e9, 1)) +
                                     " GB, and they are written only for pairs of at most " +
                                     Text(ListCapacity) + " differences.";
            if (options.DetailFilesRequired) throw RunStopped(pair);
            questions.Notice(pair + "\nThe test runs without detail files.",
                             "Detailed differences");
            options.DetailedDifferences = false;
            return;
        }
    }
}

}  // namespace vortel
