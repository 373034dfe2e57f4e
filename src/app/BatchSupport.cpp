#include "app/BatchSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vortel {

int UsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "vortel %s: %s; see vortel --help\n", command.c_str(), message.c_str());
    return ExitUsage;
}

int Refused(const std::string& command, const std::string& message) {
    std::string oneLine = message;
    for (char& c : oneLine)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "vortel %s: %s\n", command.c_str(), oneLine.c_str());
    return ExitRefused;
}

std::optional<std::string> InputFileProblem(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return "there is no such file";
    if (fs::is_directory(status)) return "it is a folder, not a file";
    if (!fs::is_regular_file(status)) return "it is not a regular file";
    if (!std::ifstream(path, std::ios::binary)) return "it cannot be opened for reading";
    return std::nullopt;
}

}  // namespace vortel
