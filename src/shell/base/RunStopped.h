// The one failure type of the core: a command cannot go on and must be abandoned.
#pragma once

#include <stdexcept>
#include <string>

namespace vortel {

// Thrown wherever a command meets a file, value or limit it cannot work with. The message names
// the file, value or limit at fault; the App shows it and keeps the program running.
class RunStopped : public std::runtime_error {
public:
    explicit RunStopped(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vortel
