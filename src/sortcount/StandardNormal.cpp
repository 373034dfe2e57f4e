#include "sortcount/StandardNormal.h"

#include <cmath>
#include <limits>

#include "shell/base/CorrectlyRounded.h"

namespace vortel {
namespace {

using rounded::DD;

constexpr DD InvSqrt2Pi = {0x1.9884533d43651p-2, -0x1.cbc0d30ebfd15p-56};
constexpr double Sqrt2Pi = 0x1.40d931ff62706p+1;

// exp(-z^2 / 2) / sqrt(2 pi), with z^2 kept exact so that the density stays relatively
// accurate far out in the tails.
double Density(double z) {
    const DD square = rounded::TwoProd(z, z);
    if (square.hi > 1490) return 0;
    rounded::Scaled e = rounded::ExpOf({-0.5 * square.hi, -0.5 * square.lo});
    e.Value = rounded::Mul(e.Value, InvSqrt2Pi);
    return rounded::ToDouble(e);
}

// P(Z > x) for x >= 2, by the continued fraction of the Mills ratio,
// 1 / (x + 1/(x + 2/(x + 3/(x + ...)))), taken from a fixed depth that suffices from 2 on.
double UpperTail(double x) {
    double f = x;
    for (int n = 120; n >= 1; --n) f = x + n / f;
    return Density(x) / f;
}

}  // namespace

double NormalCdf(double z) {
    if (std::isnan(z)) return z;
    if (z <= -2) return UpperTail(-z);
    if (z >= 2) return 1 - UpperTail(z);
    // 1/2 + density * (z + z^3/3 + z^5/(3 5) + ...), every term of z's sign.
    double term = z, sum = z;
    for (int n = 1; n < 200 && std::fabs(term) > 1e-17 * std::fabs(sum); ++n) {
        term *= z * z / (2 * n + 1);
        sum += term;
    }
    return 0.5 + Density(z) * sum;
}

double NormalQuantile(double p) {
    if (std::isnan(p) || p < 0 || p > 1) return std::numeric_limits<double>::quiet_NaN();
    if (p == 0) return -std::numeric_limits<double>::infinity();
    if (p == 1) return std::numeric_limits<double>::infinity();
    if (p == 0.5) return 0;
    // The upper half by symmetry: 1 - p is exact there.
    if (p > 0.5) return -NormalQuantile(1 - p);
    // A rational first guess (relative error about 1e-9), then Halley's steps on the
    // distribution function.
    double x;
    if (p < 0.02425) {
        const double q = std::sqrt(-2 * rounded::Log(p));
        x = (((((-7.784894002430293e-03 * q - 3.223964580411365e-01) * q - 2.400758277161838e+00) *
                   q -
               2.549732539343734e+00) *
                  q +
              4.374664141464968e+00) *
                 q +
             2.938163982698783e+00) /
            ((((7.784695709041462e-03 * q + 3.224671290700398e-01) * q + 2.445134137142996e+00) *
                  q +
              3.754408661907416e+00) *
                 q +
             1);
    } else {
        const double q = p - 0.5, r = q * q;
        x = (((((-3.969683028665376e+01 * r + 2.209460984245205e+02) * r - 2.759285104469687e+02) *
                   r +
               1.383577518672690e+02) *
                  r -
              3.066479806614716e+01) *
                 r +
             2.506628277459239e+00) *
            q /
            (((((-5.447609879822406e+01 * r + 1.615858368580409e+02) * r - 1.556989798598866e+02) *
                   r +
               6.680131188771972e+01) *
                  r -
              1.328068155288572e+01) *
                 r +
             1);
    }
    for (int step = 0; step < 2; ++step) {
        const double density = Density(x);
        if (!(density > 0)) break;
        const double u = (NormalCdf(x) - p) / density;
        x -= u / (1 + x * u / 2);
    }
    return x;
}

}  // namespace vortel
