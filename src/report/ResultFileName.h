// Rules for the code a user types into the report's file name.
#pragma once

#include <string>

namespace vortel {

// False for a code that cannot stand inside a file name on any desktop system the program's
// files travel to: folder separators, the characters Windows forbids, control characters.
bool CodeFitsFileName(const std::string& code);

}  // namespace vortel
