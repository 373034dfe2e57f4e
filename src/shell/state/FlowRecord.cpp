#include "shell/state/FlowRecord.h"

#include <cstring>

#include "shell/base/RunStopped.h"

namespace vortel {

FlowRecordFile::FlowRecordFile(const std::filesystem::path& path) : m_path(path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw RunStopped("Cannot write \"" + path.string() + "\": a folder has that name.");
    m_stream.open(path, std::ios::binary | std::ios::trunc);
    if (!m_stream)
        throw RunStopped("Cannot create file \"" + path.string() + "\": " + std::strerror(errno) +
                         ".");
}

void FlowRecordFile::Line(std::string_view text) {
    m_stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    m_stream.write("\r\n", 2);
    m_stream.flush();
}

}  // namespace vortel
