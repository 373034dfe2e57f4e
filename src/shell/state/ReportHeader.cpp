#include "shell/state/ReportHeader.h"

#include <limits>

#include "shell/base/RunStopped.h"

namespace vortel {

std::int16_t ReportHeader::NextTableNumber() {
    if (TableNumber == std::numeric_limits<std::int16_t>::max()) {
        throw RunStopped(
            "The report's table number cannot go beyond 32767; restart the program "
            "to number the tables from 1 again.");
    }
    return ++TableNumber;
}

void SetEditionValues(ReportHeader& header) {
    header.EditionTitle = "VORTEL-CartesianPT only";
    header.VersionText = "Ver. 04/01/2023";
    header.NominalBootstrapNumber = 2000;
    header.NominalCartesianNumber = 2000.0 * 2000.0;
}

}  // namespace vortel
