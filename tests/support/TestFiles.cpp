#include "support/TestFiles.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace vortel::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("vortel-test-" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            m_path = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

fs::path TempFolder::Write(const std::string& name, const std::string& content) const {
    fs::path p = m_path / name;
    std::ofstream out(p, std::ios::binary);
    out << content;
    return p;
}

std::vector<std::string> TempFolder::Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path DataFile(const std::string& name) { return fs::path(VORTEL_TEST_DATA) / name; }

std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace vortel::test
