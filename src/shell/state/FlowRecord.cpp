#include "shell/state/FlowRecord.h"

#include <cstring>

#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"

namespace vortel {

FlowRecordFile::FlowRecordFile(const std::filesystem::path& path) : m_path(path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw RunStopped("Cannot write \"" + path.string() + "\": a folder has that name.");
    // A new file put over the name in one step, not the earlier one emptied: the name never
    // disappears, and an earlier record kept by a second name (a hard link) keeps its lines.
    const std::filesystem::path temporary = CreateTemporaryTwin(path);
    m_stream.open(temporary, std::ios::binary | std::ios::app);
    if (m_stream) std::filesystem::rename(temporary, path, ec);
    if (!m_stream || ec) {
        const std::string reason = ec ? ec.message() : std::strerror(errno);
        m_stream.close();
        std::filesystem::remove(temporary, ec);
        throw RunStopped("Cannot create file \"" + path.string() + "\": " + reason + ".");
    }
}

void FlowRecordFile::Line(std::string_view text) {
    m_stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    m_stream.write("\r\n", 2);
    m_stream.flush();
}

}  // namespace vortel
