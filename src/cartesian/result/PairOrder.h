// How a pair of treatments is taken: which one is subtracted from which, and how many
// differences the pair has. Every part of the test that forms, counts or names a pair's
// differences asks here, so the computation, the report and the result tables cannot disagree.
#pragma once

#include "shell/state/Treatments.h"

namespace vortel {

// Treatment i minus treatment j only when i's bootstrap mean is the larger; equal means take
// j minus i, so the mean difference D is never below 0.
inline bool FirstMinusSecond(double meanFirst, double meanSecond) { return meanFirst > meanSecond; }
inline bool FirstMinusSecond(const Treatments& state, int i, int j) {
    return FirstMinusSecond(state.BootstrapMean(i), state.BootstrapMean(j));
}

// C = B_i x B_j, as a real: past the value lists it exceeds every 32-bit count.
inline double CartesianCount(double bootstrapFirst, double bootstrapSecond) {
    return bootstrapFirst * bootstrapSecond;
}
inline double CartesianCount(const Treatments& state, int i, int j) {
    return CartesianCount(state.BootstrapNumberReal(i), state.BootstrapNumberReal(j));
}

}  // namespace vortel
