// Result files that appear whole or not at all.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "shell/base/TextRecords.h"

namespace vortel {

// Writes beside its final name and renames into place on Commit(), so a stopped command never
// leaves half a file that looks whole, and an earlier file of the same name stays intact until
// the new one is complete. Not committed: the temporary file is removed.
class OutputFile {
public:
    explicit OutputFile(std::filesystem::path target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    TextWriter& Writer() { return *m_writer; }
    const std::filesystem::path& Target() const { return m_target; }
    // Close, check that every byte reached the disk, rename over the target.
    void Commit();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::ofstream m_stream;
    std::unique_ptr<TextWriter> m_writer;
    bool m_committed = false;
};

// Several files of one command that must all appear, or none: commits them together at the end.
class OutputSet {
public:
    OutputFile& Create(const std::filesystem::path& target);
    void CommitAll();

private:
    std::vector<std::unique_ptr<OutputFile>> m_files;
};

}  // namespace vortel
