#include "shell/base/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>
#include <utility>

#include "shell/base/RunStopped.h"

namespace vortel {

namespace fs = std::filesystem;

namespace {

// "<name><ending>" for k = 1, "<name>.<k><ending>" after: the names a temporary or a kept
// earlier file tries in turn, so that one left by a killed run (or a file of the user's that
// happens to have the name) is stepped over, never replaced.
fs::path NumberedTwin(const fs::path& name, int k, const char* ending) {
    fs::path twin = name;
    if (k > 1) {
        twin += ".";
        twin += std::to_string(k);
    }
    twin += ending;
    return twin;
}

constexpr int MostTwins = 100;

bool NoHardLinks(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == ENOSYS;
}

// Syncs a file's bytes, or a folder's names, to the disk.
bool SyncToDisk(const fs::path& path, bool folder) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Some file systems refuse to sync a folder; the files are in place by then all the same, so a
// refusal changes nothing the command can mend and is not reported.
void SyncFolder(const fs::path& folder) { SyncToDisk(folder.empty() ? "." : folder, true); }

[[noreturn]] void NotCreated(const fs::path& target, int error) {
    throw FileNotCreated(
        "Cannot create file \"" + target.string() + "\": " + std::strerror(error) + ".",
        std::error_code(error, std::generic_category()));
}

[[noreturn]] void CannotReplace(const fs::path& name, int error) {
    throw RunStopped("Cannot replace file \"" + name.string() + "\": " + std::strerror(error) +
                     ".");
}

// Gives the earlier file under `name` a second name to be kept by; returns it.
fs::path KeepAside(const fs::path& name) {
    for (int k = 1; k <= MostTwins; ++k) {
        const fs::path kept = NumberedTwin(name, k, ".keep");
        if (::link(name.c_str(), kept.c_str()) == 0) return kept;
        int error = errno;
        if (error == EEXIST) continue;
        if (!NoHardLinks(error)) CannotReplace(name, error);
            // A file system without hard links (FAT, some network shares): the earlier file is
            // renamed to its keep-name instead. There the name is free for the moment between this
            // rename and the new file's.
#ifdef RENAME_NOREPLACE
        if (::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
            return kept;
        error = errno;
        if (error == EEXIST) continue;
        if (error != EINVAL && error != ENOSYS) CannotReplace(name, error);
#endif
        // Nor a rename that refuses to replace: the keep-name is looked at first.
        std::error_code ec;
        if (fs::exists(fs::symlink_status(kept, ec))) continue;
        fs::rename(name, kept, ec);
        if (!ec) return kept;
        CannotReplace(name, ec.value());
    }
    CannotReplace(name, EEXIST);
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
    m_temporary = CreateTemporaryTwin(m_target);
    m_stream.open(m_temporary, std::ios::binary | std::ios::trunc);
    if (!m_stream.is_open()) {
        const int error = errno;
        fs::remove(m_temporary, ec);
        NotCreated(m_target, error);
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
    SyncFolder(m_target.parent_path());
}

void OutputFile::Close() {
    if (!m_stream.is_open()) return;
    m_writer->Flush();
    m_stream.flush();
    m_stream.close();
    if (m_stream.fail() || !SyncToDisk(m_temporary, false))
        throw RunStopped(WriteFailure(m_target.string()));
}

fs::path CreateTemporaryTwin(const fs::path& target) {
    for (int k = 1; k <= MostTwins; ++k) {
        fs::path temporary = NumberedTwin(target, k, ".part");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temporary;
        }
        if (errno != EEXIST) NotCreated(target, errno);
    }
    NotCreated(target, EEXIST);
}

bool OutputFile::PlaceIfFree(const fs::path& name) {
    std::error_code ec;
    if (::link(m_temporary.c_str(), name.c_str()) == 0) {
        fs::remove(m_temporary, ec);
        return true;
    }
    int error = errno;
    if (error == EEXIST) return false;
    if (NoHardLinks(error)) {
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
    std::set<fs::path> folders;
    for (auto& f : files) folders.insert(f->Target().parent_path());
    for (const fs::path& folder : folders) SyncFolder(folder);
    if (m_within) m_within->Keep(std::move(earlier));
}

void OutputTransaction::Restore() noexcept {
    // Latest commit first, so a name committed twice ends as it stood before the first.
    for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it) (*it)->Restore();
    m_kept.clear();
}

void OutputTransaction::Keep(std::unique_ptr<EarlierFiles> earlier) {
    m_kept.push_back(std::move(earlier));
}

EarlierFiles::EarlierFiles(const std::vector<fs::path>& names) {
    for (const fs::path& name : names) {
        std::error_code ec;
        Kept k{name, {}};
        if (fs::is_regular_file(name, ec)) {
            try {
                k.KeptAs = KeepAside(name);
            } catch (...) {
                Restore();
                throw;
            }
        }
        m_kept.push_back(std::move(k));
    }
}

void EarlierFiles::AddTaken(const fs::path& name) { m_kept.push_back({name, {}}); }

EarlierFiles::~EarlierFiles() {
    if (m_restored) return;
    for (const Kept& k : m_kept) {
        std::error_code ec;
        if (!k.KeptAs.empty()) fs::remove(k.KeptAs, ec);
    }
}

void EarlierFiles::Restore() noexcept {
    m_restored = true;
    for (const Kept& k : m_kept) {
        std::error_code ec;
        if (k.KeptAs.empty()) {
            if (fs::is_regular_file(k.Name, ec)) fs::remove(k.Name, ec);
        } else if (fs::equivalent(k.KeptAs, k.Name, ec)) {
            // Not replaced yet: the name still holds the earlier file (a rename between two
            // names of one file would do nothing and leave the keep-name behind).
            fs::remove(k.KeptAs, ec);
        } else {
            fs::rename(k.KeptAs, k.Name, ec);
        }
    }
}

}  // namespace vortel
