#include "morse/duration.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

namespace {

class Duration : public testing::Test {
protected:
    void SetUp() override { SetDefaultSettings(); }
    void TearDown() override { SetDefaultSettings(); }

    static void Dfcw(std::uint8_t ratio, bool omit)
    {
        DfcwMode = true;
        RatioCode = ratio;
        OmitKeyGaps = omit;
    }
};

TEST_F(Duration, QrssRatios)
{
    EXPECT_EQ(TextDuration("E", 1000, 0, 0), 2);
    EXPECT_EQ(TextDuration("EE", 1000, 0, 0), 6);
    EXPECT_EQ(TextDuration("T", 1000, 0, 0), 4);
    RatioCode = 2;
    EXPECT_EQ(TextDuration("T", 1000, 0, 0), 3);
    EXPECT_EQ(TextDuration("TT", 1000, 0, 0), 8);
    // The key gap has no part in QRSS.
    EXPECT_EQ(TextDuration("TT", 1000, 5000, 0), 8);
}

TEST_F(Duration, DfcwKeyGapsAndSpaces)
{
    Dfcw(1, false);
    EXPECT_EQ(TextDuration("EE", 1000, 1000, 0), 4);
    Dfcw(1, true);
    EXPECT_EQ(TextDuration("EE", 1000, 1000, 0), 3);
    EXPECT_EQ(TextDuration("I", 1000, 1000, 0), 3);
    EXPECT_EQ(TextDuration("A", 1000, 1000, 0), 2);
    // H: four dots, three gaps between them.
    EXPECT_EQ(TextDuration("H", 1000, 1000, 0), 7);
    Dfcw(1, false);
    EXPECT_EQ(TextDuration("A", 1000, 1000, 0), 3);
    Dfcw(0, false);
    EXPECT_EQ(TextDuration("E E", 1000, 0, 0), 3);
    Dfcw(2, false);
    EXPECT_EQ(TextDuration("E E", 1000, 0, 0), 6); // 1 + 2 + 2 + 1
}

TEST_F(Duration, IdentificationTimingIgnoresMode)
{
    Dfcw(1, false);
    EXPECT_EQ(TextDuration("E", 0, 1000, 12), 0);        // 0.2 s
    EXPECT_EQ(TextDuration("TEST", 0, 1000, 12), 2);     // 2.2 s
    EXPECT_EQ(TextDuration("TEST", -5, 0, 6), 4);        // 4.4 s
    EXPECT_EQ(TextDuration("E", 0, 0, 0), 0);            // a speed of 0 does not fail
    EXPECT_EQ(TextDuration("EEEEE", 0, 0, 0), 4);        // ... and reads as 6 WPM: 3.6 s
}

TEST_F(Duration, EdgesOfTheText)
{
    EXPECT_EQ(TextDuration("", 1000, 0, 0), 0);
    // A last space keeps its time: E, its gap, the word gap.
    EXPECT_EQ(TextDuration("E ", 1000, 0, 0), 6);
    EXPECT_EQ(TextDuration(" ", 1000, 0, 0), 2);
    // Characters without a pattern take no time, also after the last mark.
    EXPECT_EQ(TextDuration(",:E", 1000, 0, 0), 2);
    EXPECT_EQ(TextDuration("E;\x01\xC9", 1000, 0, 0), 2);
    EXPECT_EQ(TextDuration("E+,", 1000, 0, 0), 4); // a "+" keeps the closing space
    // Morse has no case: lower case is timed as it is keyed, also for identifications.
    EXPECT_EQ(TextDuration("e,e", 1000, 0, 0), 6);
    EXPECT_EQ(TextDuration("test", 0, 0, 12), TextDuration("TEST", 0, 0, 12));
}

TEST_F(Duration, HalvesRoundToEven)
{
    EXPECT_EQ(TextDuration("E", 250, 0, 0), 0);   // 0.5 s
    EXPECT_EQ(TextDuration("E", 750, 0, 0), 2);   // 1.5 s
    EXPECT_EQ(TextDuration("E", 1250, 0, 0), 2);  // 2.5 s
    EXPECT_EQ(TextDuration("E", 1750, 0, 0), 4);  // 3.5 s
    EXPECT_EQ(TextDuration("E", 1251, 0, 0), 3);  // 2.502 s
}

TEST_F(Duration, CodesTheDialogsNeverGiveStillTime)
{
    RatioCode = 0; // QRSS with a DFCW code: times as ratio 3
    EXPECT_EQ(TextDuration("T", 1000, 0, 0), 4);
    RatioCode = 200;
    EXPECT_EQ(TextDuration("T", 1000, 0, 0), 4);
    Dfcw(3, false); // times as single space
    EXPECT_EQ(TextDuration("E E", 1000, 0, 0), 4);
    // Extreme values from an edited file neither overflow nor go negative.
    EXPECT_EQ(TextDuration(std::string(250, '0'), INT32_MAX, INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(TextDuration("EEE", 1000, INT32_MIN, 0), 0);
}

TEST(DurationText, MinutesAndTwoDigitSeconds)
{
    EXPECT_EQ(DurationText(0), "0'00\"");
    EXPECT_EQ(DurationText(59), "0'59\"");
    EXPECT_EQ(DurationText(61), "1'01\"");
    EXPECT_EQ(DurationText(125), "2'05\"");
    EXPECT_EQ(DurationText(3600), "60'00\"");
    // Beyond 16-bit minutes the minutes are shown whole while they fit 10 characters.
    EXPECT_EQ(DurationText(65536 * 60 + 7), "65536'07\"");
    EXPECT_EQ(DurationText(999999 * 60 + 59), "999999'59\"");
    EXPECT_EQ(DurationText(INT32_MAX), "999999'59\"");
    EXPECT_EQ(DurationText(-5), "0'00\"");
}

TEST_F(Duration, RepeatTimeExceeded)
{
    // DFCW single space, 1 s dots, no gap: n letters E last 2n - 1 s.
    Dfcw(1, false);
    Texts[1] = std::string(28, 'E');
    ASSERT_EQ(TextDuration(Texts[1], DotLength, KeyGap, 0), 55);
    RepeatCount = 2;
    RepeatInterval = 1;
    EXPECT_TRUE(RepeatTimeExceeded()); // 55 + 5 = 60
    Texts[1] = std::string(26, 'E') + "I";
    ASSERT_EQ(TextDuration(Texts[1], DotLength, KeyGap, 0), 54);
    EXPECT_FALSE(RepeatTimeExceeded());

    // Each identification adds its time and 3 s: TEST at 12 WPM adds 2 + 3.
    StartId = {"TEST", true, 12};
    EXPECT_TRUE(RepeatTimeExceeded()); // 54 + 5 + 5
    RepeatInterval = 2;
    StopId = {std::string(20, 'T'), true, 12}; // 20 dashes, 19 gaps: 8 + 7.6 = 15.6 -> 16 s
    EXPECT_FALSE(RepeatTimeExceeded());        // 64 + 19 = 83 < 120
    StopId.Text = std::string(100, 'T');      // 40 + 39.6 -> 80 s
    EXPECT_TRUE(RepeatTimeExceeded());

    // Nothing to fit: a single run, or non-stop repeating.
    RepeatCount = 1;
    EXPECT_FALSE(RepeatTimeExceeded());
    RepeatCount = 0; // endless with an interval is checked like a counted repeat
    EXPECT_TRUE(RepeatTimeExceeded());
    RepeatInterval = 0;
    EXPECT_FALSE(RepeatTimeExceeded());
}

TEST_F(Duration, RepeatCheckTimesTheHeldDotLength)
{
    // 16 letters E last 62 s at the 1 s dot that a stored 0 is keyed at (8 s at 6 WPM).
    Texts[1] = std::string(16, 'E');
    DotLength = 0;
    RepeatCount = 0;
    RepeatInterval = 1;
    EXPECT_TRUE(RepeatTimeExceeded());
}

TEST_F(Duration, NothingToSendSaysWhy)
{
    const std::string none = "Text 1 has no Morse character : nothing to transmit";
    for (const auto& [text, reason] : {std::pair{"   ", "Text 1 is empty : nothing to transmit"},
                                       std::pair{"+#\x01\xC9", none.c_str()}, std::pair{"e", ""}}) {
        Texts[1] = text;
        EXPECT_EQ(NothingToSendReason(), reason) << text;
    }
    Texts[1] = "+"; // the start identification's place: something to send when it keys
    StartId = {"de x", true, 6};
    EXPECT_EQ(NothingToSendReason(), "");
}

TEST_F(Duration, RepeatCheckWithATextNumberOutOfRangeUsesText1)
{
    Texts[1] = std::string(30, 'T'); // far beyond one minute
    RepeatCount = 3;
    RepeatInterval = 1;
    TextNumber = 0;
    EXPECT_TRUE(RepeatTimeExceeded());
    TextNumber = 250;
    EXPECT_TRUE(RepeatTimeExceeded());
    TextNumber = 2;
    EXPECT_FALSE(RepeatTimeExceeded());
}

} // namespace
