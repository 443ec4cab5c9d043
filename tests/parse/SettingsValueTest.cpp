// The settings file's value rules at their edges.
#include "parse/SettingsValue.h"

#include <gtest/gtest.h>

#include <string>

TEST(SettingsValue, IntegersAtTheEdgesOfTheRules)
{
    struct TCase {
        std::string text;
        bool parses;
        int value;
    };
    const TCase cases[] = {
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"+5", true, 5},
        {"0xFFFFFFFF", true, -1},
        {"0x100000000", false, 0},
        {"0x80000000", true, -2147483647 - 1},
        {"0x", false, 0},  // too short for the hexadecimal rule, and not a number
        {"0x-1", false, 0},
        {"-0x10", false, 0},  // a sign is decimal only
        {"-", false, 0},
        {"--1", false, 0},
        {"", false, 0},
        {"00000000000000000000012", true, 12},
        {"0xfffffffffffffffffffffff", false, 0},
        {std::string("1\0"
                     "2",
                     3),
         false, 0},
    };
    for (const TCase& c : cases) {
        int value = 0;
        EXPECT_EQ(ParseSettingsInteger(c.text, value), c.parses) << c.text;
        if (c.parses) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(SettingsValue, BooleansAreNonZeroIntegersElseTheDefault)
{
    EXPECT_TRUE(ParseSettingsBoolean("1", false));
    EXPECT_TRUE(ParseSettingsBoolean("-1", false));
    EXPECT_TRUE(ParseSettingsBoolean("0x100", false));
    EXPECT_FALSE(ParseSettingsBoolean("0", true));
    EXPECT_FALSE(ParseSettingsBoolean("0x0", true));
    for (const char* text : {"true", "yes", "", "1.0"}) {
        EXPECT_TRUE(ParseSettingsBoolean(text, true)) << text;
        EXPECT_FALSE(ParseSettingsBoolean(text, false)) << text;
    }
}
