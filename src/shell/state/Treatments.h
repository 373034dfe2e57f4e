// The treatments of a test as treatment input leaves them, in their report positions, with the
// summaries the pairwise computation adds.
#pragma once

#include <cstdint>
#include <string>

#include "shell/state/Capacities.h"

namespace vortel {

struct Treatments {
    std::int16_t TreatmentCount = 0;
    FixedTable<std::string, 30> TreatmentName{"TreatmentName"};
    PerTreatment<std::string> TreatmentFile{"TreatmentFile"};
    PerTreatment<std::string> ParameterName{"ParameterName"};
    std::string CurrentParameterName;
    // The transformation treatment input applied: 0 none, 1 arcsine, 2 logit.
    std::int16_t TransformationUsed = 0;
    PerTreatment<std::int32_t> SampleSize{"SampleSize"};
    PerTreatment<std::int32_t> BootstrapNumber{"BootstrapNumber"};
    PerTreatment<double> BootstrapNumberReal{"BootstrapNumberReal"};
    PerTreatment<double> OriginalMean{"OriginalMean"};
    TreatmentLists<double> BootstrapValues{"BootstrapValues", ListCapacity};
    PositionList<std::int16_t> ValueFlag{"ValueFlag", ListCapacity};
    PerTreatment<std::int32_t> EffectiveBootstrapNumber{"EffectiveBootstrapNumber"};
    PerTreatment<double> BootstrapMean{"BootstrapMean"};
    PerTreatment<double> BootstrapVariance{"BootstrapVariance"};
    PerTreatment<double> TreatmentSE{"TreatmentSE"};

    // Treatment input's own fields.
    std::int16_t PairCount = 0;
    PerTreatment<std::string> EnteredFile{"EnteredFile"};
    PerTreatment<double> SortingMean{"SortingMean"};
    PerTreatment<std::int16_t> EntryNumber{"EntryNumber"};
};

}  // namespace vortel
