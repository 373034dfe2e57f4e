#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/base/CorrectlyRounded.h"

namespace vortel::rounded {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

struct Case {
    double (*function)(double, double);
    const char* name;
    double x, y;
    double expected;  // MPFR's correctly rounded value
};

double AtanOfX(double x, double) { return Atan(x); }
double LogOfX(double x, double) { return Log(x); }
double Log10OfX(double x, double) { return Log10(x); }
double ExpOfX(double x, double) { return Exp(x); }

// Inputs where this machine's C library gives the other neighbour (found by
// tools/check-correctly-rounded.cpp against MPFR), exact values, and the Sidak levels' powers.
const Case Cases[] = {
    // The arcsine's atan(y / sqrt(1 - y^2)) and the logit's log(p / (1 - p)).
    {AtanOfX, "atan", 0x1.5d7b79dc8267fp-2, 0, 0x1.50ca008c34e7cp-2},
    {AtanOfX, "atan", 0x1.849be877428p-1, 0, 0x1.4c68dc81f9ba1p-1},
    {AtanOfX, "atan", 0x1.216d54e9f62aap-4, 0, 0x1.20f2627b9b10ap-4},
    {AtanOfX, "atan", 0x1.cff73d9cf990ap-4, 0, 0x1.cdff1fc9802c2p-4},
    {AtanOfX, "atan", 1, 0, 0x1.921fb54442d18p-1},
    {AtanOfX, "atan", 0, 0, 0},
    {AtanOfX, "atan", 0x1p-30, 0, 0x1p-30},
    {AtanOfX, "atan", -Inf, 0, -0x1.921fb54442d18p+0},
    {AtanOfX, "atan", 0x1p+60, 0, 0x1.921fb54442d18p+0},
    {LogOfX, "log", 0x1.f346c4fda63fbp-1, 0, -0x1.9c4c5a0249709p-6},
    {LogOfX, "log", 0x1.74353ea4f0044p+0, 0, 0x1.7f420a25c6025p-2},
    {LogOfX, "log", 0x1.53bdaea1d63c1p-1, 0, -0x1.a3fc0f75de38ep-2},
    {LogOfX, "log", 0x1.3d1c9dcec4727p+1, 0, 0x1.d07fac8c19f2p-1},
    {LogOfX, "log", 1, 0, 0},
    {LogOfX, "log", 0, 0, -Inf},
    {LogOfX, "log", 0x1p-1074, 0, -0x1.74385446d71c3p+9},
    // Axis ticks: log10 of any span, and exact at the powers of ten.
    {Log10OfX, "log10", 0x1.e3e8b26bc8ddep+380, 0, 0x1.caabf3c2cdbf1p+6},
    {Log10OfX, "log10", 0x1.0868b622bb629p-7, 0, -0x1.0bed1d4114dcfp+1},
    {Log10OfX, "log10", 1e22, 0, 22},
    {Log10OfX, "log10", 1e-3, 0, -3},
    {ExpOfX, "exp", 0x1.00581ffeba0a2p+9, 0, 0x1.9293d1abac81ep+739},
    {ExpOfX, "exp", -0x1.3d13b6677842cp+7, 0, 0x1.36402ffd0d512p-229},
    {ExpOfX, "exp", 0, 0, 1},
    // The Sidak level 1 - 0.95^(1/k) for k pairs, and 10^k for rounding to decimals.
    {Pow, "pow", 0.95, 1.0 / 1, 0x1.e666666666666p-1},
    {Pow, "pow", 0.95, 1.0 / 3, 0x1.f75202ec86e0bp-1},
    {Pow, "pow", 0.95, 1.0 / 10, 0x1.fd6168eb56e59p-1},
    {Pow, "pow", 0.95, 1.0 / 45, 0x1.ff6aaebcbe375p-1},
    {Pow, "pow", 0.95, 1.0 / 190, 0x1.ffdc9eb5d0b25p-1},
    {Pow, "pow", 10, 23, 0x1.52d02c7e14af6p+76},
    {Pow, "pow", 0x1.ec3146dc5c6ecp-1, 0x1.aca8731a119e5p-7, 0x1.ffbc5df8bf1a7p-1},
    {Pow, "pow", -2, 3, -8},
    {Pow, "pow", 0, -1, Inf},
};

TEST(CorrectlyRounded, KnownValuesAndHardCases) {
    for (const Case& c : Cases) {
        EXPECT_EQ(c.function(c.x, c.y), c.expected)
            << c.name << "(" << std::hexfloat << c.x << ", " << c.y << ")";
    }
}

TEST(CorrectlyRounded, PowersOfTenAreTheNearestDoubles) {
    // The compiler reads a decimal literal to the nearest double, as the rounding to decimals
    // needs: 10^k exactly up to 10^22, the nearest double below 1.
    const double literals[] = {1e-22, 1e-15, 1e-12, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1,
                               1e1,   1e2,   1e3,   1e4,  1e5,  1e12, 1e15, 1e22};
    for (const double p : literals) {
        const int k = static_cast<int>(std::lround(std::log10(p)));
        EXPECT_EQ(Pow(10, k), p) << k;
        EXPECT_EQ(Log10(p), k) << k;
    }
}

TEST(CorrectlyRounded, OutsideTheDomainsAsTheCLibrary) {
    EXPECT_TRUE(std::isnan(Log(-1)));
    EXPECT_TRUE(std::isnan(Atan(std::nan(""))));
    EXPECT_TRUE(std::isnan(Pow(-2, 0.5)));
    EXPECT_EQ(Log(Inf), Inf);
    EXPECT_EQ(Exp(1000), Inf);
    EXPECT_EQ(Exp(-1000), 0);
    EXPECT_EQ(Pow(1, std::nan("")), 1);
}

}  // namespace
}  // namespace vortel::rounded
