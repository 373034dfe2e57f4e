// Treatment input of the Cartesian paired test: how many treatments, which transformation, one
// bootstrap-result file each, ordered by their bootstrap means.
#pragma once

#include "shell/App.h"
#include "shell/lifetabl.h"

namespace vortel {

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
