// What the batch commands share: how they end when the command line or the input is refused.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vortel {

// Exit statuses of the batch commands.
inline constexpr int ExitRefused = 1;
inline constexpr int ExitUsage = 2;

// "vortel <command>: <message>; see vortel --help" on standard error; returns ExitUsage.
int UsageError(const std::string& command, const std::string& message);

// "vortel <command>: <message>" on standard error as one line (line ends inside the message
// become blanks, so a script reading the error sees the whole of it); returns ExitRefused.
int Refused(const std::string& command, const std::string& message);

// Why `path` cannot serve as an input file ("it is a folder, not a file"), or nothing when it
// can. Only a regular file that
// opens for reading will do: a device such as /dev/zero never ends and a pipe may never start,
// and the readers take the whole file in at once.
std::optional<std::string> InputFileProblem(const std::string& path);

#ifdef VORTEL_WITH_GUI
// Runs `draw` in a Qt application with no display: the offscreen platform unless the caller
// chose another. Qt's notes are no news to a batch user and stay quiet; real failures show on
// standard error under the command's name.
void DrawWithoutDisplay(const std::string& command, const std::function<void()>& draw);
#endif

}  // namespace vortel
