// Doubles to text and back, byte for byte alike on every platform the program is built for: the
// standard library of some targets (the browser's) has no floating-point <charconv>.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vortel {

// Room enough for every text below.
inline constexpr std::size_t DoubleTextRoom = 40;

// x with 15 significant digits in the way of printf's %.15G: trailing zeros dropped, an
// exponent from E-05 and from E+15 on; INF, NAN. Returns the end of the text.
char* WriteGeneral15(char* first, double x);

// The shortest text that reads back as x, in fixed or exponent form, whichever is shorter (fixed
// on a tie): 0.1, 1e+22, 1.5e-07. Finite x only. Returns the end of the text.
char* WriteShortest(char* first, double x);

// `text` in full as a decimal number (as strtod reads it, without a leading plus, hex or
// blanks). False, leaving `value` as it was, when it is not one or lies beyond a double's range
// (it would round to infinity, or to 0 from digits that are not all 0).
bool ReadDouble(std::string_view text, double& value);

// The bits of a double and back: orderings that sort doubles as integers need them.
inline std::uint64_t BitsOf(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}
inline double DoubleOfBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

}  // namespace vortel
