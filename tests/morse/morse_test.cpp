#include "morse/morse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

namespace {

TEST(MorsePattern, TableEntriesEndInOneGap)
{
    const std::map<char, std::string> table = {
        {'A', ".-"}, {'B', "-..."}, {'C', "-.-."}, {'D', "-.."}, {'E', "."}, {'F', "..-."},
        {'G', "--."}, {'H', "...."}, {'I', ".."}, {'J', ".---"}, {'K', "-.-"}, {'L', ".-.."},
        {'M', "--"}, {'N', "-."}, {'O', "---"}, {'P', ".--."}, {'Q', "--.-"}, {'R', ".-."},
        {'S', "..."}, {'T', "-"}, {'U', "..-"}, {'V', "...-"}, {'W', ".--"}, {'X', "-..-"},
        {'Y', "-.--"}, {'Z', "--.."}, {'0', "-----"}, {'1', ".----"}, {'2', "..---"},
        {'3', "...--"}, {'4', "....-"}, {'5', "....."}, {'6', "-...."}, {'7', "--..."},
        {'8', "---.."}, {'9', "----."}, {'.', ".-.-.-"}, {'/', "-..-."}, {'?', "..--.."},
        {'@', ".-.-."}, {'$', "...-.-"}, {'*', "-.-.-"}, {'%', "-...-.-"}};
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const auto it = table.find(c);
        const std::string expected = c == ' ' ? " " : it == table.end() ? "" : it->second + " ";
        EXPECT_EQ(MorsePattern(c), expected) << "code " << code;
        EXPECT_LE(MorsePattern(c).size(), 10u);
    }
    // No case folding, and the signs without a pattern.
    EXPECT_EQ(MorsePattern('a'), "");
    for (const char c : std::string("+,-:=!"))
        EXPECT_EQ(MorsePattern(c), "") << c;
}

TEST(TextRules, FirstInvalidCharScansFromTheLeft)
{
    EXPECT_EQ(FirstInvalidChar("CQ DE TEST"), ' ');
    EXPECT_EQ(FirstInvalidChar("CQ de"), 'd');
    EXPECT_EQ(FirstInvalidChar("AR*"), '*');
    EXPECT_EQ(FirstInvalidChar("+"), ' ');
    EXPECT_EQ(FirstInvalidChar(""), ' ');
    EXPECT_EQ(FirstInvalidChar("A,B;C"), ',');
    EXPECT_EQ(FirstInvalidChar("?/.@$+09AZ"), ' ');
    EXPECT_EQ(FirstInvalidChar("BK%"), '%');
    EXPECT_EQ(FirstInvalidChar(std::string("A\tB")), '\t');
    EXPECT_EQ(FirstInvalidChar("\xC9"), '\xC9');
}

TEST(TextRules, TrimSpacesRemovesOnlySpaces)
{
    EXPECT_EQ(TrimSpaces("  12 "), "12");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces("\t12"), "\t12");
    EXPECT_EQ(TrimSpaces(" A B "), "A B");
}

TEST(Numbers, IsIntegerAcceptsTheStandardForms)
{
    EXPECT_EQ(ToInteger("12"), 12);
    EXPECT_EQ(ToInteger(" 12"), 12);
    EXPECT_EQ(ToInteger("+7"), 7);
    EXPECT_EQ(ToInteger("-7"), -7);
    EXPECT_EQ(ToInteger("007"), 7);
    EXPECT_EQ(ToInteger("$1E"), 30);
    EXPECT_EQ(ToInteger("x1e"), 30);
    EXPECT_EQ(ToInteger("X1E"), 30);
    EXPECT_EQ(ToInteger("0x1E"), 30);
    EXPECT_EQ(ToInteger("0X1e"), 30);
    EXPECT_EQ(ToInteger(" $FF"), 255);
    EXPECT_EQ(ToInteger("2147483647"), 2147483647);
    EXPECT_EQ(ToInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ToInteger("$7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(ToInteger("0"), 0);

    for (const char* bad : {"12 ", "", " ", "2147483648", "-2147483649", "99999999999999999999", "+",
                            "-", "$", "0x", "1.5", "1e3", "12a", "$G", "$80000000", "- 1", "+-1",
                            "\t12", "-$1"})
        EXPECT_FALSE(IsInteger(bad)) << '"' << bad << '"';
}

TEST(Numbers, IsFloatFollowsTheDecimalSeparator)
{
    DecimalSeparator = '.';
    EXPECT_EQ(ToFloat("800"), 800.0);
    EXPECT_EQ(ToFloat("404.5"), 404.5);
    EXPECT_EQ(ToFloat("1e3"), 1000.0);
    EXPECT_EQ(ToFloat(" -2.5E-1 "), -0.25);
    EXPECT_EQ(ToFloat(".5"), 0.5);
    EXPECT_EQ(ToFloat("5."), 5.0);
    EXPECT_EQ(ToFloat("+1"), 1.0);
    for (const char* bad : {"404,5", "", " ", ".", "1e", "1e+", "e3", "1.2.3", "1 2", "abc", "1e999",
                            "--1", "0x10", "$10"})
        EXPECT_FALSE(IsFloat(bad)) << '"' << bad << '"';

    DecimalSeparator = ',';
    EXPECT_EQ(ToFloat("404,5"), 404.5);
    EXPECT_FALSE(IsFloat("404.5"));
    DecimalSeparator = '.';
}

TEST(ClockTexts, IsValidTimeChecksEachPair)
{
    for (const char* good : {"235959", "000000", "120000", "000059"})
        EXPECT_TRUE(IsValidTime(good)) << good;
    for (const char* bad : {"240000", "126000", "12345", "1234567", "", "12:00", "-12345", "+12345",
                            "$1A2B3", "0x1234", "   123", "001260"})
        EXPECT_FALSE(IsValidTime(bad)) << bad;
}

TEST(ClockTexts, TimeOfDayTextTruncates)
{
    EXPECT_EQ(TimeOfDayText(45000.5), "12:00:00");
    EXPECT_EQ(TimeOfDayText(45000.0), "00:00:00");
    EXPECT_EQ(TimeOfDayText(0.99999999999), "23:59:59");
    EXPECT_EQ(TimeOfDayText(std::nextafter(1.0, 0.0)), "23:59:59");
    // 23:59:59.999 is still that second, not rounded up.
    EXPECT_EQ(TimeOfDayText((86400000.0 - 1) / 86400000.0), "23:59:59");
    // Every second of a day, as the clock computes its value, reads as itself.
    for (int s = 0; s < 86400; ++s) {
        const double value = 46000.0 + s * 1000.0 / 86400000.0;
        char expected[16];
        std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        ASSERT_EQ(TimeOfDayText(value), expected) << s;
        ASSERT_EQ(TimeTextToSeconds(expected), s);
    }
}

TEST(ClockTexts, TimeTextToSecondsReadsEightOrSevenCharacters)
{
    EXPECT_EQ(TimeTextToSeconds("23:59:59"), 86399);
    EXPECT_EQ(TimeTextToSeconds("0:00:10"), 10);
    EXPECT_EQ(TimeTextToSeconds("9:05:00"), 9 * 3600 + 5 * 60);
    // Other input is not defined, but never reads outside the text.
    EXPECT_EQ(TimeTextToSeconds(""), 0);
    EXPECT_EQ(TimeTextToSeconds("1"), 3600);
    (void)TimeTextToSeconds("123456789012");
}

} // namespace
