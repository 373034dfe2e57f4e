// The Cartesian paired test: launch, treatment input and the pairwise computation.
#pragma once

#include "shell/state/App.h"

namespace vortel {

struct AnalysisState;

// Titles of the launch's questions, by which front ends and tests recognise them.
inline constexpr const char* DetailInfoTitle = "Do you need detailed info?";
inline constexpr const char* FlowRecordTitle = "Do you need flow record?";
inline constexpr const char* DetailFilesTitle = "Detailed differences";
inline constexpr const char* ReversedSortTitle = "Reversed sort";

// Checks that the folder output goes to can take files, before the pairs run; where it cannot,
// the user may choose another (Dialogues::ChooseOtherFolder), else the test is abandoned.
void EnsureOutputFolder(Dialogues& ui);

// The handler of "Q. CartesianPT": settles the options and runs a whole test.
void AskAndRunCartesianTest(AnalysisState& state, Services& services);

}  // namespace vortel
