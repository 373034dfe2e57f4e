// The program's own double conversions against the standard library's, where it has them: every
// text must be the same, byte for byte, so that outputs stay as they were.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "shell/base/DoubleText.h"

namespace vortel {
namespace {

std::string General15(double x) {
    char buf[DoubleTextRoom];
    return {buf, WriteGeneral15(buf, x)};
}
std::string StdGeneral15(double x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    std::string s(buf, r.ptr);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}
std::string Shortest(double x) {
    char buf[DoubleTextRoom];
    return {buf, WriteShortest(buf, x)};
}
std::string StdShortest(double x) {
    char buf[64];
    return {buf, std::to_chars(buf, buf + sizeof buf, x).ptr};
}

// Doubles of every kind: random bit patterns (subnormals and huge exponents included), round
// and near-round decimals, integers, and the edges of the exponent forms.
std::vector<double> Samples() {
    std::vector<double> xs = {0.0,
                              -0.0,
                              1.0,
                              0.1,
                              1e15,
                              1e16,
                              1e-5,
                              1e-4,
                              9.99999999999999e14,
                              999999999999999.5,
                              123456789012345678.0,
                              5e-324,
                              2.2250738585072014e-308,
                              1.7976931348623157e308,
                              1e22,
                              1e23,
                              0.3,
                              2.5,
                              1e-7,
                              1.5e-7,
                              100,
                              1e21};
    std::mt19937_64 random(20261210);
    for (int k = 0; k < 150000; ++k) {
        const double x = DoubleOfBits(random());
        if (std::isfinite(x)) xs.push_back(x);
        xs.push_back(static_cast<double>(random() % 2000001) / 1000.0 - 1000.0);
        xs.push_back(
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 60));
        xs.push_back(static_cast<double>(static_cast<std::int64_t>(random() >> 20)));
    }
    for (int e = -325; e <= 308; ++e) {
        xs.push_back(std::pow(10.0, e));
        xs.push_back(std::nextafter(std::pow(10.0, e), 0.0));
    }
    return xs;
}

TEST(DoubleText, WritesAsTheStandardLibrary) {
    for (const double x : Samples()) {
        for (const double v : {x, -x}) {
            ASSERT_EQ(General15(v), StdGeneral15(v)) << std::hexfloat << v;
            ASSERT_EQ(Shortest(v), StdShortest(v)) << std::hexfloat << v;
        }
    }
    for (const double v :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(General15(v), StdGeneral15(v));
}

TEST(DoubleText, ReadsAndRefusesAsTheStandardLibrary) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "0.0",
                                      "1e-400",
                                      "-1e-400",
                                      "1e999",
                                      "-1e999",
                                      "1e308",
                                      "2e308",
                                      "5e-324",
                                      "3e-324",
                                      "2e-324",
                                      "2.4703282292062328e-324",
                                      "2.4703282292062327e-324",
                                      "1.7976931348623158e308",
                                      "1.7976931348623159e308",
                                      "0e999",
                                      "0.000e-999",
                                      ".5",
                                      "5.",
                                      "-.5",
                                      "1e",
                                      "1e+",
                                      "e5",
                                      "",
                                      "-",
                                      ".",
                                      "inf",
                                      "nan",
                                      "1.5x",
                                      "00012.50",
                                      "123456789012345678901234567890",
                                      "0.1e1",
                                      "1E5",
                                      "1e-5",
                                      "1e00000000000000000001"};
    for (const double x : Samples()) {
        texts.push_back(StdShortest(x));
        texts.push_back(StdGeneral15(x));
    }
    for (const std::string& t : texts) {
        double ours = 42;
        double theirs = 42;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), theirs);
        const bool theirsOk = r.ec == std::errc() && r.ptr == t.data() + t.size();
        const bool oursOk = ReadDouble(t, ours);
        ASSERT_EQ(oursOk, theirsOk) << t;
        if (theirsOk) {
            ASSERT_EQ(BitsOf(ours), BitsOf(theirs)) << t;
        } else {
            ASSERT_EQ(ours, 42) << t;
        }
    }
}

}  // namespace
}  // namespace vortel
