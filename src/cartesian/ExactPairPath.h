// Where a pair past the value lists leaves the partitioned sort's path: its results come from
// the exact path over the sorted samples, and detail files are not written for it.
#pragma once

#include <cstdint>

#include "shell/state/TestOptions.h"
#include "shell/state/TestQuestions.h"
#include "shell/state/Treatments.h"

namespace vortel {

// A pair whose C = B_i x B_j exceeds what a value list holds.
bool PastTheLists(double c);

// With detail files asked for and a pair past the lists, whose files would hold hundreds of
// gigabytes: when DetailFilesRequired is set the command stops, before anything is computed or
// written, naming the pair, its C and the size; otherwise the user is told so and the test runs
// without detail files (DetailedDifferences is cleared).
void SettleDetailFiles(TestOptions& options, const Treatments& treatments,
                       TestQuestions& questions);

// About how many bytes a pair's detail files take for c differences: four records of a serial
// number and a difference each.
double DetailFileBytes(double c);

}  // namespace vortel
