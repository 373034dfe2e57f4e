// Compares the functions of src/shell/base/CorrectlyRounded.h with MPFR's correctly rounded
// values, on inputs spread over the domain each is used on, and counts how often the C library
// of this machine (glibc on the desktop) gives another value than the correctly rounded one.
//
//   check-correctly-rounded FUNCTION COUNT [SEED [--library-only]]
//   FUNCTION: atan log log10 exp pow
//
// Prints one line: inputs, ours != MPFR, roundings not certain, C library != MPFR, and the
// largest relative errors of the unrounded values (double-double, and the quick first try). Exits non-zero when ours differs.
// Built and run by scripts/check-math-mpfr.sh.
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "shell/base/CorrectlyRounded.h"

namespace rd = vortel::rounded;

namespace {

std::mt19937_64 generator;

double Uniform() { return (static_cast<double>(generator() >> 11) + 0.5) * 0x1p-53; }  // (0, 1)
int Integer(int low, int high) {
    return low + static_cast<int>(generator() % static_cast<std::uint64_t>(high - low + 1));
}
// A proportion in (0, 1): uniform, near 0 (any exponent) or near 1, in turn.
double Proportion(std::uint64_t i) {
    switch (i % 3) {
        case 0: return Uniform();
        case 1: return std::ldexp(1 + Uniform(), -Integer(2, 1073));
        default: return 1 - std::ldexp(1 + Uniform(), -Integer(2, 53));
    }
}
// A positive double with an exponent from `low` to `high`.
double Spread(int low, int high) { return std::ldexp(1 + Uniform(), Integer(low, high)); }

struct Counts {
    std::uint64_t Inputs = 0, Wrong = 0, Unsure = 0, Library = 0;
    double WorstError = 0;  // largest relative error of the double-double value
    double WorstQuick = 0;  // and of the quicker first evaluation
};

mpfr_t exact, rounded, wide, dd;

// With --library-only, MPFR is left out: the C library is compared with our functions (checked
// against MPFR on fewer inputs), about thirty times faster, for counts over 10^8 inputs.
bool libraryOnly = false;

bool CountedWithoutMpfr(Counts& c, double ours, double library) {
    if (!libraryOnly) return false;
    ++c.Inputs;
    if (!(ours == library || (std::isnan(ours) && std::isnan(library)))) ++c.Library;
    return true;
}

// Compares one input: `exact` holds the function's value to 300 bits.
double RelativeError(const rd::DD& value) {
    mpfr_set_d(dd, value.hi, MPFR_RNDN);
    mpfr_add_d(dd, dd, value.lo, MPFR_RNDN);
    mpfr_sub(dd, dd, exact, MPFR_RNDN);
    mpfr_div(dd, dd, exact, MPFR_RNDN);
    return std::fabs(mpfr_get_d(dd, MPFR_RNDN));
}

void Tally(Counts& c, double x, double y, rd::Rounding ours, double library, const rd::DD* value,
           const char* name, const rd::DD* quick = nullptr) {
    ++c.Inputs;
    mpfr_set(rounded, exact, MPFR_RNDN);
    const int inexact = mpfr_check_range(rounded, 0, MPFR_RNDN);
    mpfr_subnormalize(rounded, inexact, MPFR_RNDN);
    const double right = mpfr_get_d(rounded, MPFR_RNDN);
    const bool same = ours.Value == right || (std::isnan(ours.Value) && std::isnan(right));
    if (!same) {
        ++c.Wrong;
        if (c.Wrong <= 10)
            std::printf("  %s(%a, %a): ours %a, correctly rounded %a\n", name, x, y, ours.Value,
                        right);
    }
    if (!ours.Sure) ++c.Unsure;
    if (!(library == right || (std::isnan(library) && std::isnan(right)))) {
        // With CASES=n in the environment, the first n of these are printed as table rows.
        static const long shown = std::getenv("CASES") ? std::atol(std::getenv("CASES")) : 0;
        if (static_cast<long>(c.Library) < shown)
            std::printf("  {%a, %a, %a},  // C library: %a\n", x, y, right, library);
        ++c.Library;
    }
    if (value != nullptr && mpfr_sgn(exact) != 0 && std::fabs(right) >= 0x1p-960) {
        c.WorstError = std::fmax(c.WorstError, RelativeError(*value));
        if (quick != nullptr) c.WorstQuick = std::fmax(c.WorstQuick, RelativeError(*quick));
    }
}

void Atan(Counts& c, double x) {
    if (CountedWithoutMpfr(c, rd::Atan(x), std::atan(x))) return;
    mpfr_set_d(wide, x, MPFR_RNDN);
    mpfr_atan(exact, wide, MPFR_RNDN);
    const bool series = std::fabs(x) >= 0x1p-27;
    const rd::DD v = series ? rd::AtanOf(x) : rd::DD{}, q = series ? rd::QuickAtanOf(x) : rd::DD{};
    Tally(c, x, 0, rd::AtanRounding(x), std::atan(x), series ? &v : nullptr, "atan", &q);
}

void Log(Counts& c, double x) {
    if (CountedWithoutMpfr(c, rd::Log(x), std::log(x))) return;
    mpfr_set_d(wide, x, MPFR_RNDN);
    mpfr_log(exact, wide, MPFR_RNDN);
    const rd::DD v = rd::LogOf(x), q = rd::QuickLogOf(x);
    Tally(c, x, 0, rd::LogRounding(x), std::log(x), &v, "log", &q);
}

void Log10(Counts& c, double x) {
    if (CountedWithoutMpfr(c, rd::Log10(x), std::log10(x))) return;
    mpfr_set_d(wide, x, MPFR_RNDN);
    mpfr_log10(exact, wide, MPFR_RNDN);
    Tally(c, x, 0, rd::Log10Rounding(x), std::log10(x), nullptr, "log10");
}

void Exp(Counts& c, double x) {
    if (CountedWithoutMpfr(c, rd::Exp(x), std::exp(x))) return;
    mpfr_set_d(wide, x, MPFR_RNDN);
    mpfr_exp(exact, wide, MPFR_RNDN);
    const rd::Scaled s = rd::ExpOf(rd::DD{x, 0});
    const rd::DD v = {std::ldexp(s.Value.hi, s.Exponent), std::ldexp(s.Value.lo, s.Exponent)};
    Tally(c, x, 0, rd::ExpRounding(x), std::exp(x), &v, "exp");
}

void Pow(Counts& c, double x, double y) {
    if (CountedWithoutMpfr(c, rd::Pow(x, y), std::pow(x, y))) return;
    mpfr_set_d(wide, x, MPFR_RNDN);
    mpfr_set_d(dd, y, MPFR_RNDN);
    mpfr_pow(exact, wide, dd, MPFR_RNDN);
    Tally(c, x, y, rd::PowRounding(x, y), std::pow(x, y), nullptr, "pow");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s atan|log|log10|exp|pow COUNT [SEED]\n", argv[0]);
        return 2;
    }
    const std::string function = argv[1];
    const auto count = static_cast<std::uint64_t>(std::strtod(argv[2], nullptr));
    generator.seed(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    libraryOnly = argc > 4 && std::string(argv[4]) == "--library-only";
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_init2(exact, 300);
    mpfr_init2(wide, 300);
    mpfr_init2(dd, 300);
    mpfr_init2(rounded, 53);

    Counts c;
    if (function == "atan") {
        // Used on y / sqrt(1 - y^2), y = sqrt(p) for proportions p; also any x >= 0.
        for (std::uint64_t i = 0; i < count; ++i) {
            if (i % 4 == 3) {
                Atan(c, Spread(-60, 60));
                continue;
            }
            const double y = std::sqrt(Proportion(i));
            if (y < 1) Atan(c, y / std::sqrt(1 - y * y));
        }
    } else if (function == "log") {
        // Used on p / (1 - p) for proportions p; also any x > 0.
        for (std::uint64_t i = 0; i < count; ++i) {
            const double p = Proportion(i);
            Log(c, i % 4 == 3 ? Spread(-1074, 1023) : p / (1 - p));
        }
    } else if (function == "log10") {
        // Used on axis spans and steps: any x > 0, and the powers of ten themselves.
        for (int k = -22; k <= 22; ++k) Log10(c, std::pow(10.0, k));
        for (std::uint64_t i = 0; i < count; ++i) Log10(c, Spread(-1074, 1023));
    } else if (function == "exp") {
        for (std::uint64_t i = 0; i < count; ++i)
            Exp(c, i % 2 ? -745 + 1454 * Uniform() : std::ldexp(Uniform() - 0.5, -Integer(0, 40)));
    } else if (function == "pow") {
        // The Sidak level 0.95^(1/k) for k = 1 .. 190 pairs, and 10^k for rounding to decimals.
        for (int k = 1; k <= 190; ++k) Pow(c, 0.95, 1.0 / k);
        for (int k = -30; k <= 30; ++k) Pow(c, 10, k);
        // Then bases and exponents near those, and a wider spread.
        for (std::uint64_t i = 0; i < count; ++i) {
            switch (i % 3) {
                case 0: Pow(c, 0.9 + 0.1 * Uniform(), 1 / (1 + 199 * Uniform())); break;
                case 1: Pow(c, std::nextafter(0.95, Integer(0, 1) ? 1.0 : 0.0), 1.0 / Integer(1, 10000)); break;
                default: Pow(c, 20 * Uniform(), 100 * (Uniform() - 0.5)); break;
            }
        }
    } else {
        std::fprintf(stderr, "unknown function %s\n", function.c_str());
        return 2;
    }
    if (libraryOnly) {
        std::printf("%-6s inputs %llu  C library != ours (correctly rounded) %llu\n",
                    function.c_str(), static_cast<unsigned long long>(c.Inputs),
                    static_cast<unsigned long long>(c.Library));
        return 0;
    }
    std::printf("%-6s inputs %llu  ours != MPFR %llu  unsure %llu  C library != MPFR %llu  "
                "worst errors: double-double 2^%.1f, quick 2^%.1f\n",
                function.c_str(), static_cast<unsigned long long>(c.Inputs),
                static_cast<unsigned long long>(c.Wrong), static_cast<unsigned long long>(c.Unsure),
                static_cast<unsigned long long>(c.Library),
                c.WorstError > 0 ? std::log2(c.WorstError) : -1074.0,
                c.WorstQuick > 0 ? std::log2(c.WorstQuick) : -1074.0);
    return c.Wrong == 0 ? 0 : 1;
}
