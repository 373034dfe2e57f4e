#include "app/BatchSupport.h"

#include <cstdio>

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

}  // namespace vortel
