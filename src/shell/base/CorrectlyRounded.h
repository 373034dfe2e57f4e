// The elementary functions whose values reach a result (the arcsine and logit transformations,
// the Sidak level, rounding to decimals, axis ticks, the normal line), computed here rather than
// by the C library: the desktop's and the WebAssembly build's libraries round some values to
// different neighbours, and a result must have the same bytes in every build.
//
// Each value is the exact result rounded once to the nearest double (ties to even): the function
// is evaluated with a known error bound, and the rounding is accepted only when the whole error
// interval rounds to one double. atan and log first try a quick evaluation in doubles that carry
// their rounding errors (relative error below 2^-62); the few inputs it cannot decide (under one
// in a hundred) go to a double-double evaluation (below 2^-94). Where even that cannot decide
// (about one input in 10^12; none met in the checks), its value rounded is returned: still the
// same bits in every build, and within an ulp. tools/check-correctly-rounded.cpp compares these
// functions with MPFR.
#pragma once

#include "shell/base/DoubleDouble.h"

namespace vortel::rounded {

double Atan(double x);
// For x > 0 (0 gives -inf; a negative x or NaN gives NaN).
double Log(double x);
double Log10(double x);
double Exp(double x);
// x^y for x > 0, with the C library's values for a zero, infinite or negative x or infinite y
// (exactly defined there) and for a negative x with an integral y computed here.
double Pow(double x, double y);

// A rounding and whether it is certainly the correctly rounded one (the checks count the rest).
struct Rounding {
    double Value = 0;
    bool Sure = true;
};
Rounding AtanRounding(double x);
Rounding LogRounding(double x);
Rounding Log10Rounding(double x);
Rounding ExpRounding(double x);
Rounding PowRounding(double x, double y);

// Unrounded, for functions built on these and for the checks. atan(x) for a finite x with
// |x| >= 2^-27, relative error below 2^-100.
DD AtanOf(double x);
// The quicker evaluations tried first, relative error below 2^-62, for the same x.
DD QuickAtanOf(double x);
DD QuickLogOf(double x);
// log(x) for a finite x > 0, relative error below 2^-100.
DD LogOf(double x);
// exp(z) as value * 2^exponent, relative error below 2^-100 plus |z| * 2^-104, for |z.hi| < 746.
struct Scaled {
    DD Value;
    int Exponent = 0;
};
Scaled ExpOf(DD z);
// Rounds value * 2^exponent to a double (0 or infinity past the range).
double ToDouble(Scaled s);

}  // namespace vortel::rounded
