// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>

#include "settings/IntegerConversion.h"

namespace lumi::settings {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int16_t> expected;
};

class ToIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ToIntegerTest, ConvertsLikeThePlatform) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(toInteger(c.text), c.expected) << "text: \"" << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToIntegerTest,
    ::testing::Values(
        // plain numbers, signs and surrounding white space
        IntegerCase{"0", 0}, IntegerCase{"5", 5}, IntegerCase{"-7", -7}, IntegerCase{"+12", 12},
        IntegerCase{"  3  ", 3}, IntegerCase{"\t4\t", 4}, IntegerCase{"007", 7},
        IntegerCase{"\xC2\xA0" "8" "\xE3\x80\x80", 8},  // Unicode white space around it
        // fractions round to nearest, halves to even
        IntegerCase{"2.5", 2}, IntegerCase{"3.5", 4}, IntegerCase{"-2.5", -2},
        IntegerCase{"-3.5", -4}, IntegerCase{"0.5", 0}, IntegerCase{"1.5", 2},
        IntegerCase{"-0.5", 0}, IntegerCase{"2.4999", 2}, IntegerCase{"2.5001", 3},
        IntegerCase{"-1.6", -2}, IntegerCase{".5", 0}, IntegerCase{"5.", 5}, IntegerCase{"3.49", 3},
        // exponents
        IntegerCase{"1e3", 1000}, IntegerCase{"1E3", 1000}, IntegerCase{"25e-1", 2},
        IntegerCase{"1.5e+1", 15}, IntegerCase{"-3.2767e4", -32767}, IntegerCase{"1e-400", 0},
        // range limits, judged after rounding
        IntegerCase{"32767", 32767}, IntegerCase{"32767.4", 32767},
        IntegerCase{"32767.5", std::nullopt}, IntegerCase{"32768", std::nullopt},
        IntegerCase{"-32768", -32768}, IntegerCase{"-32768.5", -32768},
        IntegerCase{"-32768.6", std::nullopt}, IntegerCase{"-32769", std::nullopt},
        IntegerCase{"1e5", std::nullopt}, IntegerCase{"1e400", std::nullopt},
        // no number
        IntegerCase{"", std::nullopt}, IntegerCase{"   ", std::nullopt},
        IntegerCase{"abc", std::nullopt}, IntegerCase{"12abc", std::nullopt},
        IntegerCase{"1 2", std::nullopt}, IntegerCase{"1,5", std::nullopt},
        IntegerCase{"1,000", std::nullopt}, IntegerCase{"+", std::nullopt},
        IntegerCase{"-", std::nullopt}, IntegerCase{".", std::nullopt},
        IntegerCase{"e5", std::nullopt}, IntegerCase{"1e", std::nullopt},
        IntegerCase{"1e+", std::nullopt}, IntegerCase{"--1", std::nullopt},
        IntegerCase{"0x10", std::nullopt}, IntegerCase{"NaN", std::nullopt},
        IntegerCase{"nan", std::nullopt}, IntegerCase{"inf", std::nullopt},
        IntegerCase{"-Infinity", std::nullopt}, IntegerCase{"\xd9\xa3", std::nullopt}));

TEST(ToNumberTest, KeepsFractionsAndIgnoresTheInteger16Range) {
    EXPECT_EQ(toNumber(" 2.5 "), 2.5);
    EXPECT_EQ(toNumber("-1e6"), -1e6);
    EXPECT_EQ(toNumber("40000"), 40000.0);
    EXPECT_EQ(toNumber("x"), std::nullopt);
    EXPECT_EQ(toNumber("1e999"), std::nullopt);
    // Out of a double's range, told by the power of the first significant digit.
    EXPECT_EQ(toNumber("0.01e310"), 1e308);
    EXPECT_EQ(toNumber("1000e306"), std::nullopt);
    EXPECT_EQ(toNumber("-0.001e-330"), 0.0);
}

}  // namespace
}  // namespace lumi::settings
