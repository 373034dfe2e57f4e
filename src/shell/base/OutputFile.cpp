#include "shell/base/OutputFile.h"

#include <cstring>

#include "shell/base/RunStopped.h"

namespace vortel {

namespace fs = std::filesystem;

OutputFile::OutputFile(fs::path target) : m_target(std::move(target)) {
    std::error_code ec;
    if (fs::is_directory(m_target, ec))
        throw RunStopped("Cannot write \"" + m_target.string() + "\": a folder has that name.");
    m_temporary = m_target;
    m_temporary += ".part";
    m_stream.open(m_temporary, std::ios::binary | std::ios::trunc);
    if (!m_stream) {
        throw RunStopped("Cannot create file \"" + m_target.string() + "\": " +
                         std::strerror(errno) + ".");
    }
    m_writer = std::make_unique<TextWriter>(m_stream);
}

OutputFile::~OutputFile() {
    if (m_committed) return;
    m_writer.reset();
    m_stream.close();
    std::error_code ec;
    fs::remove(m_temporary, ec);
}

void OutputFile::Commit() {
    m_writer->Flush();
    m_stream.flush();
    m_stream.close();
    if (m_stream.fail()) {
        throw RunStopped("Cannot write file \"" + m_target.string() +
                         "\" (is the disk full or write-protected?).");
    }
    std::error_code ec;
    fs::rename(m_temporary, m_target, ec);
    if (ec) {
        throw RunStopped("Cannot save file \"" + m_target.string() + "\": " + ec.message() + ".");
    }
    m_committed = true;
}

OutputFile& OutputSet::Create(const fs::path& target) {
    m_files.push_back(std::make_unique<OutputFile>(target));
    return *m_files.back();
}

void OutputSet::CommitAll() {
    for (auto& f : m_files) f->Commit();
    m_files.clear();
}

}  // namespace vortel
