// The terminal's "For the paper": the last test's treatment table and means figure written as
// files beside its report, as the window's view saves them.
#pragma once

#include <iosfwd>
#include <string>

#include "cartesian/result/CartesianResult.h"
#include "shell/state/Dialogues.h"

namespace vortel {

// A test's result kept for the paper files, with the report it wrote.
struct PaperSource {
    CartesianResult Result;
    std::string Report;
};

// Asks for the two names (the ending chooses each format; Enter takes "<report> paper.md" and
// "<report> means.svg"), the decimals and the figure's kind and width, then writes both files
// together or neither, and prints their paths. ":cancel" at any question writes nothing.
void AskAndWritePaperFiles(Dialogues& ui, std::ostream& out, const PaperSource& source);

}  // namespace vortel
