// Temporary folders and small file helpers for the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vortel::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // Writes `content` byte for byte and returns the file's path.
    std::filesystem::path Write(const std::string& name, const std::string& content) const;
    // Names of the files in the folder, sorted.
    std::vector<std::string> Files() const;

private:
    std::filesystem::path m_path;
};

std::string ReadAll(const std::filesystem::path& path);
// Path of a fixture in tests/data.
std::filesystem::path DataFile(const std::string& name);
// Lines joined with CR LF, each line ended: how every file of the program ends its lines.
std::string CrLf(const std::vector<std::string>& lines);
// How many times `part` occurs in `text`, overlaps included.
std::size_t CountOf(const std::string& text, const std::string& part);

}  // namespace vortel::test
