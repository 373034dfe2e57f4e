// The standard normal distribution function and its inverse, for the normal line and the probit
// points of the frequency view. Built from basic arithmetic and the functions of
// CorrectlyRounded.h only, so that the chart's data are the same bits in every build; about
// 1e-15 relative, not correctly rounded (a chart needs no more).
#pragma once

namespace vortel {

// P(Z <= z).
double NormalCdf(double z);
// The z with P(Z <= z) = p; -infinity at 0, +infinity at 1, NaN outside [0, 1].
double NormalQuantile(double p);

}  // namespace vortel
