// Prints the constant tables of src/shell/base/CorrectlyRounded.cpp from MPFR, each value as
// a double-double (the nearest double and the nearest double to what is left), in hex so that
// every compiler reads the same bits. Built and run by scripts/check-math-mpfr.sh --tables.
#include <mpfr.h>

#include <cstdio>
#include <initializer_list>

namespace {

mpfr_t v, r;

// v holds the value; prints "{hi, lo}".
void Pair(const char* end) {
    const double hi = mpfr_get_d(v, MPFR_RNDN);
    mpfr_sub_d(r, v, hi, MPFR_RNDN);
    const double lo = mpfr_get_d(r, MPFR_RNDN);
    std::printf("{%a, %a}%s", hi, lo, end);
}

}  // namespace

int main() {
    mpfr_inits2(400, v, r, static_cast<mpfr_ptr>(nullptr));

    std::printf("// atan(k / 128), k = 0 .. 128\nconstexpr DD AtanTable[129] = {\n");
    for (int k = 0; k <= 128; ++k) {
        mpfr_set_d(v, k / 128.0, MPFR_RNDN);
        mpfr_atan(v, v, MPFR_RNDN);
        Pair(",\n");
    }
    std::printf("};\n\n");

    std::printf("// For i = 181 .. 362: 256 / i as a double, and minus its logarithm\n"
                "constexpr LogEntry LogTable[182] = {\n");
    for (int i = 181; i <= 362; ++i) {
        const double inv = 256.0 / i;
        mpfr_set_d(v, inv, MPFR_RNDN);
        mpfr_log(v, v, MPFR_RNDN);
        mpfr_neg(v, v, MPFR_RNDN);
        std::printf("{%a, ", inv);
        Pair("},\n");
    }
    std::printf("};\n\n");

    std::printf("// log(i / 256), i = 181 .. 362\nconstexpr DD LogCentre[182] = {\n");
    for (int i = 181; i <= 362; ++i) {
        mpfr_set_d(v, i / 256.0, MPFR_RNDN);
        mpfr_log(v, v, MPFR_RNDN);
        Pair(",\n");
    }
    std::printf("};\n\n");

    std::printf("// 2^(j / 128), j = 0 .. 127\nconstexpr DD ExpTable[128] = {\n");
    for (int j = 0; j < 128; ++j) {
        mpfr_set_ui(v, 2, MPFR_RNDN);
        mpfr_set_d(r, j / 128.0, MPFR_RNDN);
        mpfr_pow(v, v, r, MPFR_RNDN);
        Pair(",\n");
    }
    std::printf("};\n\n");

    const auto named = [](const char* name) {
        std::printf("constexpr DD %s = ", name);
        Pair(";\n");
    };
    mpfr_const_log2(v, MPFR_RNDN);
    named("Ln2");
    mpfr_div_ui(v, v, 128, MPFR_RNDN);
    named("Ln2By128");
    mpfr_const_pi(v, MPFR_RNDN);
    mpfr_div_ui(v, v, 2, MPFR_RNDN);
    named("HalfPi");
    mpfr_set_ui(v, 10, MPFR_RNDN);
    mpfr_log(v, v, MPFR_RNDN);
    mpfr_ui_div(v, 1, v, MPFR_RNDN);
    named("InvLn10");
    for (int d : {3, 5, 6, 7, 24}) {
        mpfr_set_ui(v, 1, MPFR_RNDN);
        mpfr_div_ui(v, v, d, MPFR_RNDN);
        char name[16];
        std::snprintf(name, sizeof name, "One%d", d);
        named(name);
    }
    // For the standard normal's density and its inverse.
    mpfr_const_pi(v, MPFR_RNDN);
    mpfr_mul_ui(v, v, 2, MPFR_RNDN);
    mpfr_sqrt(v, v, MPFR_RNDN);
    named("Sqrt2Pi");
    mpfr_ui_div(v, 1, v, MPFR_RNDN);
    named("InvSqrt2Pi");
    mpfr_clears(v, r, static_cast<mpfr_ptr>(nullptr));
}
