#include <gtest/gtest.h>

#include "config/ConfigInt.h"

TEST(ConfigInt, DecimalWithBlanksAndSign) {
    EXPECT_EQ(ParseConfigInt("9600"), 9600);
    EXPECT_EQ(ParseConfigInt("  \t42"), 42);
    EXPECT_EQ(ParseConfigInt("-17"), -17);
    EXPECT_EQ(ParseConfigInt("+5"), 5);
    EXPECT_EQ(ParseConfigInt("12abc"), 12);
    EXPECT_EQ(ParseConfigInt("115200 baud"), 115200);
}

TEST(ConfigInt, NoDigitsAndHexReadZero) {
    EXPECT_EQ(ParseConfigInt(""), 0);
    EXPECT_EQ(ParseConfigInt("abc"), 0);
    EXPECT_EQ(ParseConfigInt("-"), 0);
    EXPECT_EQ(ParseConfigInt("0x3F"), 0);
    EXPECT_EQ(ParseConfigInt("- 5"), 0);
}

TEST(ConfigInt, NumbersBeyondThirtyTwoBitsKeepTheirLowBits) {
    EXPECT_EQ(ParseConfigInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseConfigInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseConfigInt("4294967296"), 0);
    EXPECT_EQ(ParseConfigInt("4294967297"), 1);
    EXPECT_EQ(ParseConfigInt("99999999999999999999"), static_cast<std::int32_t>(1661992959u));
}
