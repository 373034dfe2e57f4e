// Result files that appear whole or not at all.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "shell/base/RunStopped.h"
#include "shell/base/TextRecords.h"

namespace vortel {

// A file that could not be created; the system's reason travels with it, so a caller can tell a
// refused name from a full disk without reading errno after the fact.
// Text read from the data (a parameter or variable name) as it stands in a file name: folder
// separators and NUL become "_", so the file stays in the folder it belongs to. The one rule for
// every file name the program builds from data.
std::string FileNamePiece(std::string_view text);

class FileNotCreated : public RunStopped {
public:
    FileNotCreated(const std::string& message, std::error_code code)
        : RunStopped(message), Code(code) {}
    std::error_code Code;
};

// Creates an empty file beside `target`, exclusively so that two runs writing the same name at
// once never share one ("<target>.part", or "<target>.2.part", ... where that is taken), and
// returns its name; throws FileNotCreated naming `target`.
std::filesystem::path CreateTemporaryTwin(const std::filesystem::path& target);

// Keeps what stands under some file names, so that a command that fails after replacing them
// can put the earlier files back. Each earlier file gets a second name in the same folder,
// "<name>.keep" (or "<name>.2.keep", ... where that is taken), by a hard link: the name itself
// still holds the earlier file until a rename puts the new one over it in one step, so it never
// disappears, even briefly, and nothing is copied. The keep-names are removed once the command
// has succeeded or the earlier files are back.
class EarlierFiles {
public:
    explicit EarlierFiles(const std::vector<std::filesystem::path>& names);
    // Without Restore() the earlier files are dropped: the command succeeded.
    ~EarlierFiles();
    EarlierFiles(const EarlierFiles&) = delete;
    EarlierFiles& operator=(const EarlierFiles&) = delete;

    // Every name as it was: the earlier file back, or no file where there was none.
    void Restore() noexcept;
    // A name that was free before the command and is now taken by it: Restore() removes it.
    void AddTaken(const std::filesystem::path& name);

private:
    struct Kept {
        std::filesystem::path Name;
        std::filesystem::path KeptAs;  // empty where the name was free
    };
    std::vector<Kept> m_kept;
    bool m_restored = false;
};

// The earlier files of every set one command commits, kept until the command's last step has
// gone through, so that a step failing after its files are in place (a picture drawn from its
// results) can put every earlier file back: the command leaves all of its files or none. Owned
// by whoever runs the command and handed to its sets; nothing of it is shared between commands.
class OutputTransaction {
public:
    OutputTransaction() = default;
    // Without Restore() the kept files are dropped: the command succeeded.
    ~OutputTransaction() = default;
    OutputTransaction(const OutputTransaction&) = delete;
    OutputTransaction& operator=(const OutputTransaction&) = delete;

    // Every name the transaction's commits touched as it was before them.
    void Restore() noexcept;
    // Takes over the earlier files of one commit.
    void Keep(std::unique_ptr<EarlierFiles> earlier);

private:
    std::vector<std::unique_ptr<EarlierFiles>> m_kept;
};

// Writes beside its final name and renames into place on Commit(), so a stopped command never
// leaves half a file that looks whole, and an earlier file of the same name stays intact until
// the new one is complete. Not committed: the temporary file is removed. A write that fails
// (a full disk) stops the command at once, naming the file.
// Before the rename the file's bytes are synced to the disk (fsync), and after it the folder,
// so a name that holds the new file after a power cut holds all of it.
// Temporaries and keep-names left by a run that was killed are never removed: the program cannot
// tell them from a file of the user's of the same name. They are stepped over instead, each new
// temporary or keep-name taking the next free numbered one, and may be deleted by hand.
class OutputFile {
public:
    explicit OutputFile(std::filesystem::path target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    TextWriter& Writer() { return *m_writer; }
    const std::filesystem::path& Target() const { return m_target; }
    // Close, sync every byte to the disk, rename over the target, sync the folder.
    void Commit();
    // The two halves of Commit(), for a set of files that must all be complete before any is
    // renamed.
    void Close();
    void Place();
    // Puts the closed file under the first free name of "<stem><ext>", "<stem> (2)<ext>",
    // "<stem> (3)<ext>", ... and makes that its target. Each name is taken in one step that
    // fails when the name exists, so a file made meanwhile under it is never replaced.
    void PlaceUnderFreeName();
    // Before it is placed: the name it is to take (the temporary twin keeps its own).
    void SetTarget(const std::filesystem::path& target);

private:
    // Puts the temporary under `name` unless that name exists; false when it does.
    bool PlaceIfFree(const std::filesystem::path& name);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::ofstream m_stream;
    std::unique_ptr<TextWriter> m_writer;
    bool m_committed = false;
};

// Several files of one command that must all appear, or none: commits them together at the end.
// Every file is closed and checked before the first rename; a rename failing part-way puts the
// earlier files back.
class OutputSet {
public:
    // Within a transaction, the earlier files its commit replaces are kept until the
    // transaction ends, not dropped at once.
    explicit OutputSet(OutputTransaction* within = nullptr) : m_within(within) {}
    OutputFile& Create(const std::filesystem::path& target);
    // The one file of the set that never replaces another (a report): on commit it takes the
    // first free name of "<stem><ext>", "<stem> (2)<ext>", ... (see PlaceUnderFreeName), before
    // any other file of the set is placed.
    OutputFile& CreateUnderFreeName(const std::filesystem::path& target);
    // A file named after that one, "<its stem><rest>": when it takes "<stem> (2)<ext>", this
    // one becomes "<stem> (2)<rest>". `target` must begin with its stem, in its folder.
    OutputFile& CreateBeside(const OutputFile& leader, const std::filesystem::path& target);
    void CommitAll();
    // Leaves one file out: it is not written.
    void Discard(const OutputFile& file);
    // After CommitAll(): the name the free-named file took.
    const std::filesystem::path& FreeNameTaken() const { return m_taken; }

private:
    struct Follower {
        OutputFile* File;
        std::string Rest;  // the name after the leader's stem
    };
    std::vector<std::unique_ptr<OutputFile>> m_files;
    OutputFile* m_leader = nullptr;
    std::vector<Follower> m_followers;
    std::filesystem::path m_taken;
    OutputTransaction* m_within;
};

}  // namespace vortel
