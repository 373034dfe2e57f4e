// Double-double arithmetic: a value held as an unevaluated sum hi + lo of two doubles, about
// 106 bits. Only IEEE additions, subtractions, multiplications and divisions are used (no fused
// multiply-add, no library call), each correctly rounded on every machine, so every build gives
// the same bits.
#pragma once

namespace vortel::rounded {

struct DD {
    double hi = 0, lo = 0;
};

// a + b exactly, as a rounded sum and its error.
inline DD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// The same when |a| >= |b| (or a is 0).
inline DD FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b exactly (Dekker's product: each factor split into two 26-bit halves).
inline DD TwoProd(double a, double b) {
    constexpr double Splitter = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ta = Splitter * a, tb = Splitter * b;
    const double ah = ta - (ta - a), al = a - ah;
    const double bh = tb - (tb - b), bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DD Neg(DD a) { return {-a.hi, -a.lo}; }

inline DD Add(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

inline DD Add(DD a, double b) {
    const DD s = TwoSum(a.hi, b);
    return FastTwoSum(s.hi, s.lo + a.lo);
}

inline DD Mul(DD a, DD b) {
    const DD p = TwoProd(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DD Mul(DD a, double b) {
    const DD p = TwoProd(a.hi, b);
    return FastTwoSum(p.hi, p.lo + a.lo * b);
}

inline DD Div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    const DD r = Add(a, Neg(Mul(b, q1)));
    const double q2 = r.hi / b.hi;
    const DD r2 = Add(r, Neg(Mul(b, q2)));
    const double q3 = r2.hi / b.hi;
    return Add(FastTwoSum(q1, q2), q3);
}

}  // namespace vortel::rounded
