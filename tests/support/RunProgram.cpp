#include "support/RunProgram.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/TestFiles.h"

namespace vortel::test {

namespace {

// One shell word holding exactly `s`.
std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

ProgramResult RunVortel(const std::vector<std::string>& args) {
    static const TempFolder streams;
    // exec: a crash shows as a signal, not as an exit status of the shell.
    // VORTEL_PROGRAM runs the same tests on another build of the program, such as the
    // WebAssembly one under node: a command line, taken as the shell reads it.
    const char* other = std::getenv("VORTEL_PROGRAM");
    std::string command = "exec ";
    command += other != nullptr && *other != '\0' ? std::string(other) : Quoted(VORTEL_BINARY);
    for (const auto& a : args) command += " " + Quoted(a);
    command += " </dev/null >" + Quoted((streams / "out").string()) + " 2>" +
               Quoted((streams / "err").string());
    const int raw = std::system(command.c_str());
    ProgramResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(streams / "out");
    r.err = ReadAll(streams / "err");
    return r;
}

}  // namespace vortel::test
