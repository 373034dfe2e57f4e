#include "shell/base/OutputFile.h"

#include <cstring>

#include "shell/base/RunStopped.h"

namespace vortel {

namespace fs = std::filesystem;

namespace {

fs::path KeptName(const fs::path& name) {
    fs::path kept = name;
    kept += ".keep";
    return kept;
}

}  // namespace

std::string FileNamePiece(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    return out;
}

OutputFile::OutputFile(fs::path target) : m_target(std::move(target)) {
    std::error_code ec;
    if (fs::is_directory(m_target, ec))
        throw RunStopped("Cannot write \"" + m_target.string() + "\": a folder has that name.");
    m_temporary = m_target;
    m_temporary += ".part";
    m_stream.open(m_temporary, std::ios::binary | std::ios::trunc);
    if (!m_stream) {
        const int error = errno;
        throw FileNotCreated(
            "Cannot create file \"" + m_target.string() + "\": " + std::strerror(error) + ".",
            std::error_code(error, std::generic_category()));
    }
    m_writer = std::make_unique<TextWriter>(m_stream, m_target.string());
}

OutputFile::~OutputFile() {
    if (m_committed) return;
    m_writer.reset();
    m_stream.close();
    std::error_code ec;
    fs::remove(m_temporary, ec);
}

void OutputFile::Commit() {
    Close();
    Place();
}

void OutputFile::Close() {
    if (!m_stream.is_open()) return;
    m_writer->Flush();
    m_stream.flush();
    m_stream.close();
    if (m_stream.fail()) throw RunStopped(WriteFailure(m_target.string()));
}

void OutputFile::Place() {
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

void OutputSet::Discard(const OutputFile& file) {
    std::erase_if(m_files, [&](const auto& f) { return f.get() == &file; });
}

void OutputSet::CommitAll() {
    for (auto& f : m_files) f->Close();
    std::vector<fs::path> names;
    for (auto& f : m_files) names.push_back(f->Target());
    auto earlier = std::make_unique<EarlierFiles>(names);
    try {
        for (auto& f : m_files) f->Place();
    } catch (...) {
        earlier->Restore();
        m_files.clear();
        throw;
    }
    m_files.clear();
    CommitHold::Keep(earlier);
}

namespace {
CommitHold* ActiveHold = nullptr;
}  // namespace

CommitHold::CommitHold() {
    if (ActiveHold != nullptr) throw std::logic_error("one commit hold at a time");
    ActiveHold = this;
}

CommitHold::~CommitHold() {
    ActiveHold = nullptr;
    m_kept.clear();
}

void CommitHold::Restore() noexcept {
    // Latest commit first, so a name committed twice ends as it stood before the first.
    for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it) (*it)->Restore();
    m_kept.clear();
}

bool CommitHold::Keep(std::unique_ptr<EarlierFiles>& earlier) {
    if (ActiveHold == nullptr) return false;
    ActiveHold->m_kept.push_back(std::move(earlier));
    return true;
}

EarlierFiles::EarlierFiles(const std::vector<fs::path>& names) {
    for (const fs::path& name : names) {
        std::error_code ec;
        Kept k{name, fs::is_regular_file(name, ec)};
        if (k.Existed) {
            fs::rename(name, KeptName(name), ec);
            if (ec) {
                Restore();
                throw RunStopped("Cannot replace file \"" + name.string() + "\": " + ec.message() +
                                 ".");
            }
        }
        m_kept.push_back(std::move(k));
    }
}

EarlierFiles::~EarlierFiles() {
    if (m_restored) return;
    for (const Kept& k : m_kept) {
        std::error_code ec;
        if (k.Existed) fs::remove(KeptName(k.Name), ec);
    }
}

void EarlierFiles::Restore() noexcept {
    m_restored = true;
    for (const Kept& k : m_kept) {
        std::error_code ec;
        if (k.Existed) {
            fs::rename(KeptName(k.Name), k.Name, ec);
        } else if (fs::is_regular_file(k.Name, ec)) {
            fs::remove(k.Name, ec);
        }
    }
}

}  // namespace vortel
