// The flow record: which procedures ran, one Print line each.
#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace vortel {

// Unlike result files it records what ran, so it is written line by line and flushed, and it
// stays open from the launch that opens it until Quit.
class FlowRecordFile {
public:
    explicit FlowRecordFile(const std::filesystem::path& path);
    void Line(std::string_view text);
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::ofstream m_stream;
};

}  // namespace vortel
