#include "shell/base/CorrectlyRounded.h"

#include <cmath>
#include <limits>

namespace vortel::rounded {
namespace {

struct LogEntry {
    double Inv;  // about 1 / m for the m the entry serves
    DD NegLog;   // -log(Inv)
};

#include "shell/base/CorrectlyRoundedTables.inc"

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// Bounds on the relative error of the double-double values below, with a wide margin: the
// measured errors (tools/check-correctly-rounded.cpp) stay below 2^-101.
constexpr double AtanError = 0x1p-94;
constexpr double LogError = 0x1p-94;
constexpr double ExpError = 0x1p-93;

// The same for the first, quicker evaluations in doubles with their rounding errors carried
// (measured below 2^-66); when one cannot decide the rounding, the double-double one does.
constexpr double QuickError = 0x1p-62;

// ln 2 with its last 12 bits cleared, so that e * Ln2Head is exact for any exponent e.
constexpr double Ln2Head = 0x1.62e42fefa3000p-1;
constexpr double Ln2Tail = (Ln2.hi - Ln2Head) + Ln2.lo;

// a * b exactly when b has at most 26 significant bits (a table point): only a is split.
inline DD ProductByShort(double a, double b) {
    const double t = 134217729.0 * a;
    const double ah = t - (t - a), al = a - ah;
    const double p = a * b;
    return {p, (ah * b - p) + al * b};
}

// r rounded to the nearest double, and whether every value within r's error does so alike.
// r is normalised (|lo| at most half an ulp of hi), as every operation of DoubleDouble.h leaves it.
Rounding RoundOnce(DD r, double relativeError) {
    const double e = relativeError * std::fabs(r.hi);
    const double down = r.hi + (r.lo - e), up = r.hi + (r.lo + e);
    return {r.hi + r.lo, down == up};
}

Rounding RoundScaled(Scaled s, double relativeError) {
    Rounding r = RoundOnce(s.Value, relativeError);
    // Scaling by a power of two is exact for a normal result; a subnormal one is rounded twice.
    r.Value = std::ldexp(r.Value, s.Exponent);
    if (r.Value != 0 && std::fabs(r.Value) < std::numeric_limits<double>::min()) r.Sure = false;
    return r;
}

}  // namespace

DD AtanOf(double x) {
    const double a = std::fabs(x);
    // Past 1, atan(a) = pi/2 - atan(1/a). Then a table point c = k/128 next to z, and
    // atan(z) = atan(c) + atan(t), t = (z - c) / (1 + z c), |t| <= 2^-8.
    const bool inverted = a > 1;
    const DD z = inverted ? Div(DD{1, 0}, DD{a, 0}) : DD{a, 0};
    const int k = static_cast<int>(z.hi * 128 + 0.5);
    const double c = k / 128.0;
    const DD t = Div(Add(z, -c), Add(Mul(z, c), 1.0));
    // atan(t) = t (1 - s/3 + s^2/5 - s^3/7 + ...), s = t^2 <= 2^-16: from s^3 on, doubles do.
    const DD s = Mul(t, t);
    const double h = s.hi;
    const double tail = h * h * h * (-1.0 / 7 + h * (1.0 / 9 + h * (-1.0 / 11 + h * (1.0 / 13))));
    DD p = Add(Mul(s, One5), Neg(One3));
    p = Add(Mul(s, p), tail);
    DD r = Add(AtanTable[k], Add(t, Mul(t, p)));
    if (inverted) r = Add(HalfPi, Neg(r));
    return x < 0 ? Neg(r) : r;
}

DD QuickAtanOf(double x) {
    // As AtanOf, with t = (z - c) / (1 + z c) as a double and its error, and the series of
    // atan(t) - t in doubles.
    const double a = std::fabs(x);
    const bool inverted = a > 1;
    double zh = a, zl = 0;
    if (inverted) {
        zh = 1 / a;
        const DD p = TwoProd(a, zh);
        zl = ((1 - p.hi) - p.lo) / a;
    }
    const int k = static_cast<int>(zh * 128 + 0.5);
    const double c = k / 128.0;
    const double nh = zh - c;  // exact: zh lies within 1/256 of c
    const DD zc = ProductByShort(zh, c);
    const double dh = 1 + zc.hi;
    const double dl = ((1 - dh) + zc.hi) + (zc.lo + zl * c);
    const double th = nh / dh;
    const DD q = TwoProd(th, dh);
    const double tl = (((nh - q.hi) - q.lo) + zl - th * dl) / dh;
    const double s = th * th;
    const double series =
        th * s * (-1.0 / 3 + s * (1.0 / 5 + s * (-1.0 / 7 + s * (1.0 / 9 + s * (-1.0 / 11)))));
    const DD head = TwoSum(AtanTable[k].hi, th);
    DD r = FastTwoSum(head.hi, head.lo + (AtanTable[k].lo + (tl + series)));
    if (inverted) {
        const DD rest = TwoSum(HalfPi.hi, -r.hi);
        r = FastTwoSum(rest.hi, rest.lo + (HalfPi.lo - r.lo));
    }
    return x < 0 ? Neg(r) : r;
}

Rounding AtanRounding(double x) {
    if (std::isnan(x)) return {x + x};
    const double a = std::fabs(x);
    // atan(x) = x (1 - x^2/3 + ...): below 2^-27 the difference is under a quarter ulp.
    if (a < 0x1p-27) return {x};
    if (a == Infinity) return {std::copysign(HalfPi.hi, x)};
    const Rounding quick = RoundOnce(QuickAtanOf(x), QuickError);
    return quick.Sure ? quick : RoundOnce(AtanOf(x), AtanError);
}

// x = m 2^e with m from sqrt(1/2) to sqrt(2), the reduction both logarithms start from.
struct Reduced {
    double m;
    int e;
};
Reduced ReducedAboutOne(double x) {
    int e = 0;
    double m = std::frexp(x, &e) * 2;
    --e;
    if (m >= 0x1.6a09e667f3bcdp+0) {
        m *= 0.5;
        ++e;
    }
    return {m, e};
}

DD LogOf(double x) {
    // x = m 2^e with m from sqrt(1/2) to sqrt(2); then m = (1 + u) / Inv for the table entry
    // nearest m, |u| < 2^-7.5, and log(1 + u) = 2 atanh(s), s = u / (2 + u).
    const auto [m, e] = ReducedAboutOne(x);
    const LogEntry& entry = LogTable[static_cast<int>(m * 256 + 0.5) - 181];
    const DD product = TwoProd(m, entry.Inv);
    const DD u = TwoSum(product.hi - 1, product.lo);
    const DD s = Div(u, Add(u, 2.0));
    // 2 atanh(s) = 2s (1 + s^2/3 + s^4/5 + s^6/7 + ...), s^2 <= 2^-17: from s^6 on, doubles do.
    const DD s2 = Mul(s, s);
    const double h = s2.hi;
    const double tail = h * (1.0 / 7 + h * (1.0 / 9 + h * (1.0 / 11 + h * (1.0 / 13))));
    const DD q = Mul(s2, Add(Mul(s2, Add(One5, tail)), One3));
    const DD twice = {2 * s.hi, 2 * s.lo};
    const DD log1p = Add(twice, Mul(twice, q));
    return Add(Add(Mul(Ln2, static_cast<double>(e)), entry.NegLog), log1p);
}

DD QuickLogOf(double x) {
    // x = m 2^e as in LogOf; then m = c (1 + u) for the table point c = i/256 nearest m, with
    // u = (m - c) / c as a double and its error, |u| < 2^-8.5, and log(1 + u) by its series.
    const auto [m, e] = ReducedAboutOne(x);
    const int i = static_cast<int>(m * 256 + 0.5);
    const double c = i / 256.0;
    const double d = m - c;  // exact: m lies within 1/512 of c
    const double uh = d / c;
    const DD uc = ProductByShort(uh, c);
    const double ul = ((d - uc.hi) - uc.lo) / c;
    // u^2 exactly, for the series' largest term after u.
    const DD square = TwoProd(uh, uh);
    const double series =
        uh * square.hi *
        (1.0 / 3 +
         uh * (-1.0 / 4 +
               uh * (1.0 / 5 +
                     uh * (-1.0 / 6 +
                           uh * (1.0 / 7 + uh * (-1.0 / 8 + uh * (1.0 / 9 + uh * (-1.0 / 10))))))));
    const DD& centre = LogCentre[i - 181];
    const DD a1 = TwoSum(e * Ln2Head, centre.hi);
    const DD a2 = TwoSum(a1.hi, uh);
    const DD a3 = TwoSum(a2.hi, -0.5 * square.hi);
    const double lo =
        a1.lo + a2.lo + a3.lo + e * Ln2Tail + centre.lo - 0.5 * square.lo + ul * (1 - uh) + series;
    return FastTwoSum(a3.hi, lo);
}

Rounding LogRounding(double x) {
    if (std::isnan(x)) return {x + x};
    if (x < 0) return {NotANumber};
    if (x == 0) return {-Infinity};
    if (x == Infinity) return {x};
    const Rounding quick = RoundOnce(QuickLogOf(x), QuickError);
    return quick.Sure ? quick : RoundOnce(LogOf(x), LogError);
}

Rounding Log10Rounding(double x) {
    if (!(x > 0) || x == Infinity) return LogRounding(x);
    return RoundOnce(Mul(LogOf(x), InvLn10), LogError);
}

Scaled ExpOf(DD z) {
    // z = (128 e + j) ln2/128 + r, |r| <= ln2/256; exp(z) = 2^e 2^(j/128) exp(r).
    const double kd = std::floor(z.hi * 0x1.71547652b82fep+7 + 0.5);
    const DD r = Add(z, Neg(Mul(Ln2By128, kd)));
    const int k = static_cast<int>(kd);
    const int j = k & 127;
    // exp(r) = 1 + r (1 + r (1/2 + r (1/6 + r (1/24 + ...)))): from r^5 on, doubles do.
    const double h = r.hi;
    const double tail =
        h * (1.0 / 120 +
             h * (1.0 / 720 +
                  h * (1.0 / 5040 + h * (1.0 / 40320 + h * (1.0 / 362880 + h * (1.0 / 3628800))))));
    DD p = Add(Mul(r, Add(One24, tail)), One6);
    p = Add(Mul(r, p), 0.5);
    p = Add(Mul(r, p), 1.0);
    p = Add(Mul(r, p), 1.0);
    return {Mul(ExpTable[j], p), (k - j) / 128};
}

double ToDouble(Scaled s) { return std::ldexp(s.Value.hi + s.Value.lo, s.Exponent); }

Rounding ExpRounding(double x) {
    if (std::isnan(x)) return {x + x};
    if (x > 710) return {Infinity};
    if (x < -746) return {0};
    return RoundScaled(ExpOf(DD{x, 0}), ExpError);
}

Rounding PowRounding(double x, double y) {
    if (y == 0 || x == 1) return {1};
    if (std::isnan(x) || std::isnan(y)) return {x + y};
    // Zero, infinite bases and infinite exponents have exact values every C library gives alike.
    if (x == 0 || std::isinf(x) || std::isinf(y)) return {std::pow(x, y)};
    if (x < 0) {
        if (std::floor(y) != y) return {NotANumber};
        Rounding r = PowRounding(-x, y);
        if (std::fmod(y, 2) != 0) r.Value = -r.Value;
        return r;
    }
    if (std::fabs(y) > 0x1p900) return {(x > 1) == (y > 0) ? Infinity : 0};
    const DD z = Mul(LogOf(x), y);
    if (z.hi > 710) return {Infinity};
    if (z.hi < -746) return {0};
    // log(x)'s relative error becomes an absolute error of z, and a relative one of exp(z).
    return RoundScaled(ExpOf(z), ExpError * (2 + std::fabs(z.hi)));
}

double Atan(double x) { return AtanRounding(x).Value; }
double Log(double x) { return LogRounding(x).Value; }
double Log10(double x) { return Log10Rounding(x).Value; }
double Exp(double x) { return ExpRounding(x).Value; }
double Pow(double x, double y) { return PowRounding(x, y).Value; }

}  // namespace vortel::rounded
