// What the commands of one session share about their files: the base name output files start
// with, and the flow record.
#pragma once

#include <memory>
#include <string>

namespace vortel {

class FlowRecordFile;  // shell/state/FlowRecord.h

struct SessionFiles {
    SessionFiles();
    ~SessionFiles();
    SessionFiles(const SessionFiles&) = delete;
    SessionFiles& operator=(const SessionFiles&) = delete;

    std::string OutputBaseName;
    bool FlowRecord = false;
    // The flow record (file number 8): open from a launch that asks for it until Quit.
    std::unique_ptr<FlowRecordFile> FlowFile;
    // Set once the sort-and-count utility has run: its sorts leave no flow line of their own.
    bool SortUtilityUsed = false;

    // Appends one line to the flow record when it is on and open.
    void FlowLine(const std::string& text);
};

}  // namespace vortel
