// Treatment input of the Cartesian paired test: how many treatments, which transformation, one
// bootstrap-result file each, ordered by their bootstrap means.
#pragma once

#include "shell/state/App.h"

namespace vortel {

struct AnalysisState;

// Titles of treatment input's questions; the batch command answers them by these.
inline constexpr const char* TreatmentCountTitle =
    "Read data file one by one for paired comparison using Cartesian Product";
inline constexpr const char* TransformationTitle = "Transformation?";
// The title of the notice that a table is read with a decimal comma.
inline constexpr const char* TableNoteTitle = "Table read";
// The file dialogue's title for treatment t.
std::string TreatmentFileTitle(int t);

// Reads ReversedSort. Leaves TreatmentCount, PairCount, SidakAlpha, the table rules,
// OutputBaseName, CurrentParameterName, and positions 1..TreatmentCount of every per-treatment
// field (TreatmentName, TreatmentFile, ParameterName, SampleSize, BootstrapNumber,
// BootstrapNumberReal, OriginalMean, BootstrapValues, ValueFlag) in decreasing order of the
// bootstrap means (increasing with ReversedSort). Any refused answer or file stops the command
// before a later file is read; no file is written.
void CartesianDifference(AnalysisState& state, Services& services);

// The transformation of one bootstrap value: 0 none, 1 arcsine of the square root, 2 logit.
// A value outside the transformation's domain stops the command, naming the file.
double TransformValue(double x, int transformation, const std::string& fileName);

}  // namespace vortel
