#include "shell/base/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

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

// Past this many numbered names a folder is taken as full of reports rather than searched on.
constexpr int MostNumberedNames = 9999;

OutputFile::OutputFile(fs::path target) : m_target(std::move(target)) {
    std::error_code ec;
    if (fs::is_directory(m_target, ec))
        throw RunStopped("Cannot write \"" + m_target.string() + "\": a folder has that name.");
    OpenTemporaryExclusively();
    if (!m_stream.is_open()) {
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

void OutputFile::OpenTemporaryExclusively() {
    for (int k = 1; k <= 100; ++k) {
        m_temporary = m_target;
        if (k > 1) {
            m_temporary += ".";
            m_temporary += std::to_string(k);
        }
        m_temporary += ".part";
        const int fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;  // errno says why
        }
        ::close(fd);
        m_stream.open(m_temporary, std::ios::binary | std::ios::trunc);
        if (!m_stream.is_open()) {
            const int error = errno;
            std::error_code ec;
            fs::remove(m_temporary, ec);
            errno = error;
        }
        return;
    }
    errno = EEXIST;
}

bool OutputFile::PlaceIfFree(const fs::path& name) {
    std::error_code ec;
    if (::link(m_temporary.c_str(), name.c_str()) == 0) {
        fs::remove(m_temporary, ec);
        return true;
    }
    int error = errno;
    if (error == EEXIST) return false;
    const bool noLinks = error == EPERM || error == ENOTSUP || error == EOPNOTSUPP ||
                         error == EMLINK || error == ENOSYS;
    if (noLinks) {
        // A file system without hard links: the name is taken by creating it exclusively, and
        // the complete file renamed over that empty one of our own.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            fs::rename(m_temporary, name, ec);
            if (!ec) return true;
            error = ec.value();
            fs::remove(name, ec);
        } else {
            error = errno;
            if (error == EEXIST) return false;
        }
    }
    throw RunStopped("Cannot save file \"" + name.string() + "\": " + std::strerror(error) + ".");
}

void OutputFile::PlaceUnderFreeName() {
    const fs::path folder = m_target.parent_path();
    const std::string stem = m_target.stem().string();
    const std::string ending = m_target.extension().string();
    for (int k = 1; k <= MostNumberedNames; ++k) {
        const fs::path name =
            k == 1 ? m_target : folder / (stem + " (" + std::to_string(k) + ")" + ending);
        if (PlaceIfFree(name)) {
            m_target = name;
            m_committed = true;
            return;
        }
    }
    throw RunStopped("Cannot save file \"" + m_target.string() + "\": it and the next " +
                     std::to_string(MostNumberedNames - 1) + " numbered names are all taken.");
}

void OutputFile::SetTarget(const fs::path& target) { m_target = target; }

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

OutputFile& OutputSet::CreateUnderFreeName(const fs::path& target) {
    if (m_leader) throw std::logic_error("one file under a free name per set");
    m_files.push_back(std::make_unique<OutputFile>(target));
    m_leader = m_files.back().get();
    return *m_leader;
}

OutputFile& OutputSet::CreateBeside(const OutputFile& leader, const fs::path& target) {
    const std::string stem = leader.Target().stem().string();
    const std::string name = target.filename().string();
    if (&leader != m_leader || target.parent_path() != leader.Target().parent_path() ||
        !name.starts_with(stem))
        throw std::logic_error("a file beside the free-named one is named after it");
    OutputFile& file = Create(target);
    m_followers.push_back({&file, name.substr(stem.size())});
    return file;
}

void OutputSet::Discard(const OutputFile& file) {
    if (m_leader == &file) m_leader = nullptr;
    std::erase_if(m_followers, [&](const Follower& f) { return f.File == &file; });
    std::erase_if(m_files, [&](const auto& f) { return f.get() == &file; });
}

void OutputSet::CommitAll() {
    OutputFile* const leader = std::exchange(m_leader, nullptr);
    const std::vector<Follower> followers = std::exchange(m_followers, {});
    const std::vector<std::unique_ptr<OutputFile>> files = std::exchange(m_files, {});
    for (auto& f : files) f->Close();
    // The free-named file goes first: the others may follow the name it takes.
    if (leader) {
        leader->PlaceUnderFreeName();
        const fs::path& placed = m_taken = leader->Target();
        for (const Follower& f : followers)
            f.File->SetTarget(placed.parent_path() / (placed.stem().string() + f.Rest));
    }
    std::unique_ptr<EarlierFiles> earlier;
    try {
        std::vector<fs::path> names;
        for (auto& f : files)
            if (f.get() != leader) names.push_back(f->Target());
        earlier = std::make_unique<EarlierFiles>(names);
        if (leader) earlier->AddTaken(leader->Target());
        for (auto& f : files)
            if (f.get() != leader) f->Place();
    } catch (...) {
        std::error_code ec;
        if (earlier)
            earlier->Restore();
        else if (leader)
            fs::remove(leader->Target(), ec);
        throw;
    }
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

void EarlierFiles::AddTaken(const fs::path& name) { m_kept.push_back({name, false}); }

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
