#include "shell/state/lifetabl.h"

#include <limits>

#include "shell/base/RunStopped.h"
#include "shell/state/FlowRecord.h"

namespace vortel {

AnalysisState::AnalysisState() = default;
AnalysisState::~AnalysisState() = default;

void AnalysisState::FlowLine(const std::string& text) {
    if (FlowRecord && FlowFile) FlowFile->Line(text);
}

std::int16_t AnalysisState::NextTableNumber() {
    if (TableNumber == std::numeric_limits<std::int16_t>::max()) {
        throw RunStopped(
            "The report's table number cannot go beyond 32767; restart the program "
            "to number the tables from 1 again.");
    }
    return ++TableNumber;
}

}  // namespace vortel
