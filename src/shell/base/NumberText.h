// How numbers and date-times become text, and the one rounding rule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/base/Clock.h"

namespace vortel {

// Digits of a real: 15 significant digits, no trailing zeros, exponent form from 1E+15 up and
// below 1E-04 ("%.15G"); a negative zero is written as 0.
std::string NumberText(double x);
std::string NumberText(std::int64_t x);
inline std::string NumberText(std::int32_t x) { return NumberText(static_cast<std::int64_t>(x)); }
inline std::string NumberText(std::int16_t x) { return NumberText(static_cast<std::int64_t>(x)); }
// Appends the digits to `out` without building a temporary string (hot loops of detail files).
void AppendNumberText(std::string& out, double x);
void AppendNumberText(std::string& out, std::int64_t x);

// Text(x): the digits alone, for joining a number into a longer text.
template <class T>
std::string Text(T x) {
    return NumberText(x);
}

// Sign position (blank or "-") and digits, with no zero before the point of a magnitude below 1:
// 0.5 -> " .5", -0.25 -> "-.25", 7 -> " 7".
std::string ShortForm(double x);

// General date text: "3/7/2024 9:05:03 AM"; a reading of exactly midnight shows the date alone.
std::string DateText(const DateTime& t);

// Nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4.
double RoundHalfEven(double x);
// x rounded to `decimals` places the same way (x * 10^d rounded, divided back).
double RoundToDecimals(double x, int decimals);
// Rounded to a 16-bit or 32-bit integer; a value outside the range stops the command, naming it.
std::int16_t ToInt16(double x, std::string_view what);
std::int32_t ToInt32(double x, std::string_view what);

// The lenient reading of a typed number: blanks ignored, reading stops at the first character
// that cannot continue a decimal number, no leading number reads as 0.
double LenientNumber(std::string_view text);

// A field that spells a number and nothing else (sign, digits, point, exponent E or D).
bool ParseStrictNumber(std::string_view text, double& value);

}  // namespace vortel
