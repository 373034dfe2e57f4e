// Runs the built vortel as its own program, the way a script would.
#pragma once

#include <string>
#include <vector>

namespace vortel::test {

struct ProgramResult {
    int status = -1;  // exit status; -1 when the program did not exit (a crash, a signal)
    std::string out, err;
};

// Runs vortel with the arguments, each passed as it is (blanks, quotes and any other bytes
// included), and captures both streams in files outside every folder a test looks at.
ProgramResult RunVortel(const std::vector<std::string>& args);

}  // namespace vortel::test
