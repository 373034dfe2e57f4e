#include <gtest/gtest.h>

#include <cmath>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel {
namespace {

TEST(NumberText, FifteenDigitsAndExponentBoundaries) {
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},  // a negative zero is written as zero
        {2.5, "2.5"},
        {-3.25, "-3.25"},
        {0.05, "0.05"},
        {-0.5, "-0.5"},
        {0.0001, "0.0001"},  // last magnitude without exponent
        {0.00001, "1E-05"},
        {2.5e15, "2.5E+15"},
        {1e15, "1E+15"},  // first magnitude with exponent
        {999999999999999.0, "999999999999999"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},  // rounded at the 15th digit
        {1e100, "1E+100"},
        {123456789.125, "123456789.125"},
        {4000000, "4000000"},
        {0.1 + 0.2, "0.3"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberText(c.x), c.text) << c.x;
    EXPECT_EQ(NumberText(std::int64_t{-2147483648}), "-2147483648");
    EXPECT_EQ(NumberText(std::int16_t{7}), "7");
}

TEST(NumberText, ShortFormHasSignPositionAndNoLeadingZero) {
    EXPECT_EQ(ShortForm(7), " 7");
    EXPECT_EQ(ShortForm(0.0031), " .0031");
    EXPECT_EQ(ShortForm(-2), "-2");
    EXPECT_EQ(ShortForm(0.5), " .5");
    EXPECT_EQ(ShortForm(-0.25), "-.25");
    EXPECT_EQ(ShortForm(0), " 0");
    EXPECT_EQ(ShortForm(417), " 417");
}

TEST(NumberText, GeneralDateUsesUsSettings) {
    DateTime t = DateTime::FromEpochUtc(1709802303);  // 2024-03-07 09:05:03 UTC
    EXPECT_EQ(DateText(t), "3/7/2024 9:05:03 AM");
    EXPECT_EQ(DateText(DateTime::FromEpochUtc(1709802303 + 4 * 3600)), "3/7/2024 1:05:03 PM");
    EXPECT_EQ(DateText(DateTime::FromEpochUtc(1709769600 + 12 * 3600)), "3/7/2024 12:00:00 PM");
    EXPECT_EQ(DateText(DateTime::FromEpochUtc(1709769600 + 30)), "3/7/2024 12:00:30 AM");
    EXPECT_EQ(DateText(DateTime::FromEpochUtc(1709769600)), "3/7/2024");  // midnight: date only
    EXPECT_EQ(DateText(DateTime{}), "");
}

TEST(NumberText, RoundingSendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(25.5), 26);
    EXPECT_EQ(RoundHalfEven(975.5), 976);
    EXPECT_EQ(RoundToDecimals(0.0625, 3), 0.062);
    EXPECT_EQ(RoundToDecimals(1.125, 2), 1.12);
    EXPECT_EQ(ToInt16(4.5, "count"), 4);
    EXPECT_THROW(ToInt16(40000, "count"), RunStopped);
    EXPECT_THROW(ToInt32(3e9, "value"), RunStopped);
    EXPECT_THROW(ToInt32(std::nan(""), "value"), RunStopped);
}

TEST(NumberText, LenientReadingOfTypedNumbers) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"2", 2},    {" 3 ", 3},   {"1 2", 12},    {"4abc", 4},   {"abc", 0}, {"", 0},
        {"-1", -1},  {"2.5", 2.5}, {".5", 0.5},    {"1e2", 100},  {"1e", 1},  {"5.", 5},
        {"- 2", -2}, {"+7", 7},    {"1.2.3", 1.2}, {"1D3", 1000},
    };
    for (const auto& c : cases) EXPECT_EQ(LenientNumber(c.text), c.value) << c.text;
}

TEST(NumberText, StrictReadingOfFields) {
    double v = 0;
    EXPECT_TRUE(ParseStrictNumber("-0.25", v));
    EXPECT_EQ(v, -0.25);
    EXPECT_TRUE(ParseStrictNumber("1E-05", v));
    EXPECT_EQ(v, 1e-05);
    EXPECT_TRUE(ParseStrictNumber("-.25", v));
    EXPECT_EQ(v, -0.25);
    EXPECT_TRUE(ParseStrictNumber("+3", v));
    for (const char* bad : {"", "abc", "1x", "1 2", "--1", ".", "1e999", "nan", "inf", "0x10"})
        EXPECT_FALSE(ParseStrictNumber(bad, v)) << bad;
}

}  // namespace
}  // namespace vortel
