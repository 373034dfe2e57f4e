#include "shell/base/DoubleText.h"

#include <cmath>

#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

namespace vortel {

char* WriteGeneral15(char* first, double x) {
    return fmt::format_to(first, FMT_COMPILE("{:.15G}"), x);
}

char* WriteShortest(char* first, double x) {
    char* out = first;
    if (std::signbit(x)) *out++ = '-';
    if (x == 0) {
        *out++ = '0';
        return out;
    }
    const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(x));
    std::uint64_t significand = decimal.significand;
    int exponent = decimal.exponent;
    while (significand % 10 == 0) significand /= 10, ++exponent;
    char digits[24];
    char* end = fmt::format_to(digits, FMT_COMPILE("{}"), significand);
    const int n = static_cast<int>(end - digits);

    // x = digits x 10^exponent. The exponent form: d[.ddd]e±XX.
    const int scientific = exponent + n - 1;
    const int absScientific = scientific < 0 ? -scientific : scientific;
    const int exponentLength = 2 + (absScientific >= 100 ? 3 : 2);
    const int scientificLength = n + (n > 1 ? 1 : 0) + exponentLength;
    // The fixed form: digits and zeros after them, or digits around a point, or 0.000digits.
    const int fixedLength = exponent >= 0 ? n + exponent : n + exponent > 0 ? n + 1 : 2 - exponent;
    if (fixedLength <= scientificLength) {
        if (exponent >= 0) {
            // A whole number is written out in all its digits, not the shortest ones and zeros:
            // past 2^53 the two differ, and the length is the same.
            return fmt::format_to(out, FMT_COMPILE("{:.0f}"), std::fabs(x));
        } else if (n + exponent > 0) {
            out = std::copy(digits, digits + n + exponent, out);
            *out++ = '.';
            out = std::copy(digits + n + exponent, end, out);
        } else {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -(n + exponent), '0');
            out = std::copy(digits, end, out);
        }
        return out;
    }
    *out++ = digits[0];
    if (n > 1) {
        *out++ = '.';
        out = std::copy(digits + 1, end, out);
    }
    *out++ = 'e';
    *out++ = scientific < 0 ? '-' : '+';
    if (absScientific < 10) *out++ = '0';
    return fmt::format_to(out, FMT_COMPILE("{}"), absScientific);
}

bool ReadDouble(std::string_view text, double& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    double read = 0;
    const auto r = fast_float::from_chars(first, last, read);
    if (r.ec != std::errc() || r.ptr != last) return false;
    // The conversion rounds a text beyond the range to infinity or 0 without a word; such a text
    // is refused, as the C library's strtod would flag it.
    if (std::isinf(read)) {
        const char* p = first + (first != last && *first == '-' ? 1 : 0);
        if (p == last || (*p >= '0' && *p <= '9') || *p == '.') return false;
    } else if (read == 0) {
        for (const char* p = first; p != last && *p != 'e' && *p != 'E'; ++p)
            if (*p >= '1' && *p <= '9') return false;
    }
    value = read;
    return true;
}

}  // namespace vortel
