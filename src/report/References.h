// The literature the result report cites: the method's main references after the heading and
// the references after the pair sections.
#pragma once

#include "shell/base/TextRecords.h"

namespace vortel {

// "Main references:" and two citations, each followed by an empty line.
void PrintMainReferences(TextWriter& out);
// "References:", four citations and an empty line.
void PrintReferences(TextWriter& out);

}  // namespace vortel
