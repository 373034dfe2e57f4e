#include "shell/state/SessionFiles.h"

#include "shell/state/FlowRecord.h"

namespace vortel {

SessionFiles::SessionFiles() = default;
SessionFiles::~SessionFiles() = default;

void SessionFiles::FlowLine(const std::string& text) {
    if (FlowRecord && FlowFile) FlowFile->Line(text);
}

}  // namespace vortel
