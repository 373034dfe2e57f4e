#include "shell/base/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "shell/base/CorrectlyRounded.h"
#include "shell/base/DoubleText.h"
#include "shell/base/RunStopped.h"

namespace vortel {

void AppendNumberText(std::string& out, double x) {
    if (x == 0) {  // both zeros
        out.push_back('0');
        return;
    }
    char buf[DoubleTextRoom];
    out.append(buf, WriteGeneral15(buf, x));
}

void AppendNumberText(std::string& out, std::int64_t x) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, r.ptr);
}

std::string NumberText(double x) {
    std::string s;
    AppendNumberText(s, x);
    return s;
}

std::string NumberText(std::int64_t x) {
    std::string s;
    AppendNumberText(s, x);
    return s;
}

std::string ShortForm(double x) {
    std::string digits = NumberText(x);
    std::string out = std::signbit(x) && x != 0 ? "-" : " ";
    std::string_view body = digits;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    if (body.size() > 1 && body[0] == '0' && body[1] == '.') body.remove_prefix(1);
    out.append(body);
    return out;
}

std::string DateText(const DateTime& t) {
    if (t.Empty) return "";
    std::string s = NumberText(std::int64_t{t.Month}) + "/" + NumberText(std::int64_t{t.Day}) +
                    "/" + NumberText(std::int64_t{t.Year});
    if (t.Hour == 0 && t.Minute == 0 && t.Second == 0) return s;
    const int h12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
    // Appended piece by piece: GCC 12 warns (-Wrestrict) on a chain of temporaries here.
    const auto two = [&s](int v) {
        s += ':';
        if (v < 10) s += '0';
        s += std::to_string(v);
    };
    s += ' ';
    s += std::to_string(h12);
    two(t.Minute);
    two(t.Second);
    s += t.Hour < 12 ? " AM" : " PM";
    return s;
}

double RoundHalfEven(double x) {
    // std::nearbyint sends halves to the even neighbour in the default rounding mode;
    // std::round would turn 2.5 into 3.
    return std::nearbyint(x);
}

double RoundToDecimals(double x, int decimals) {
    const double p = rounded::Pow(10.0, decimals);
    return RoundHalfEven(x * p) / p;
}

namespace {

template <class Int>
Int ToInteger(double x, std::string_view what, const char* width) {
    const double r = RoundHalfEven(x);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        throw RunStopped(std::string(what) + " " + NumberText(x) + " does not fit a " + width +
                         " integer.");
    }
    return static_cast<Int>(r);
}

}  // namespace

std::int16_t ToInt16(double x, std::string_view what) {
    return ToInteger<std::int16_t>(x, what, "16-bit");
}

std::int32_t ToInt32(double x, std::string_view what) {
    return ToInteger<std::int32_t>(x, what, "32-bit");
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads sign, digits, point and exponent from `s` (blanks already removed where allowed) into
// a normalised text that std::from_chars accepts; returns the count of characters used.
std::size_t ScanNumber(std::string_view s, std::string& normal) {
    std::size_t i = 0;
    normal.clear();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') normal.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) normal.push_back(s[i++]), ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        normal.push_back(s[i++]);
        while (i < s.size() && IsDigit(s[i])) normal.push_back(s[i++]), ++mantissaDigits;
    }
    if (mantissaDigits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
        std::size_t expDigits = 0;
        while (j < s.size() && IsDigit(s[j])) exponent.push_back(s[j++]), ++expDigits;
        if (expDigits > 0) {
            normal += exponent;
            i = j;
        }
    }
    return i;
}

bool Convert(const std::string& normal, double& value) { return ReadDouble(normal, value); }

}  // namespace

double LenientNumber(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (!IsBlank(c)) compact.push_back(c);
    std::string normal;
    if (ScanNumber(compact, normal) == 0) return 0;
    double value = 0;
    if (!Convert(normal, value)) return 0;
    return value;
}

bool ParseStrictNumber(std::string_view text, double& value) {
    // The usual field (no plus sign in front, no D exponent) needs no normal form: the
    // conversion takes it as it stands, which saves a copy per value. Its grammar is the one
    // below less those two, once a leading letter (inf, nan) is ruled out.
    const bool leads =
        !text.empty() &&
        (IsDigit(text[0]) || text[0] == '.' ||
         (text[0] == '-' && text.size() > 1 && (IsDigit(text[1]) || text[1] == '.')));
    if (leads) {
        if (ReadDouble(text, value)) return std::isfinite(value);
    }
    std::string normal;
    const std::size_t used = ScanNumber(text, normal);
    if (used == 0 || used != text.size()) return false;
    return Convert(normal, value) && std::isfinite(value);
}

}  // namespace vortel
