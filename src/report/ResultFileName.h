// The name of the report file: base name, parameter name and either the date and time or the
// user's code with a random number.
#pragma once

#include <string>

#include "shell/base/Clock.h"

namespace vortel {

// False for a code that cannot stand inside a file name on any desktop system the program's
// files travel to: folder separators, the characters Windows forbids, control characters.
bool CodeFitsFileName(const std::string& code);

// The code that means "no code": the name then carries the date and time instead.
inline constexpr const char* NoCode = "1";
// The title of the question for the code.
inline constexpr const char* CodeTitle = "Add a code to the output filename?";

// "<base> results-<parameter>_<yyyymd>-<hms>.txt" for the code "1", where the six numbers carry
// no leading zeros; "<base> results-<parameter>_<code> <random>.txt" for any other code, the
// random part a whole number 0..1000 from `randomFraction` in [0, 1).
std::string ResultFileNameFor(const std::string& baseName, const std::string& parameterName,
                              const std::string& code, const DateTime& now, double randomFraction);

// Longest file name the report may take: the name with the ".part" of its temporary twin must
// fit the 255 bytes most file systems allow.
inline constexpr std::size_t LongestResultFileName = 250;

}  // namespace vortel
