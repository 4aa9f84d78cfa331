#include "keying/engine.h"

#include <gtest/gtest.h>

namespace {

using namespace keying;

TEST(TimeBase, AddAndSubtractWrapOnceAroundMidnight)
{
    EXPECT_EQ(AddMs(86399000, 2000), 1000);
    EXPECT_EQ(AddMs(1000, 2000), 3000);
    EXPECT_EQ(AddMs(86399999, 1), 0);
    EXPECT_EQ(SubMs(1000, 2000), 86399000);
    EXPECT_EQ(SubMs(3000, 2000), 1000);
}

TEST(TimeBase, ReachedFollowsItsFormula)
{
    const std::int32_t now = 10 * 3600000;
    EXPECT_TRUE(ReachedAt(now, now));
    EXPECT_TRUE(ReachedAt(now - 1, now));
    EXPECT_FALSE(ReachedAt(now + 1, now));
    EXPECT_FALSE(ReachedAt(now + 6000000, now));  // exactly 100 minutes ahead: not yet
    EXPECT_TRUE(ReachedAt(now + 6000001, now));   // further ahead counts as reached
    EXPECT_TRUE(ReachedAt(now - 5999999, now));
    EXPECT_FALSE(ReachedAt(now - 6000000, now));  // 100 minutes in the past: the formula says no
    // Across midnight.
    EXPECT_FALSE(ReachedAt(1000, 86399000));      // 2 s ahead, after midnight
    EXPECT_TRUE(ReachedAt(86399000, 1000));       // 2 s ago, before midnight
}

TEST(TimeBase, Texts)
{
    EXPECT_EQ(FormatClock(14 * 3600000 + 25 * 60000 + 30000), "14:25:30");
    EXPECT_EQ(FormatClock(1499), "00:00:01");
    EXPECT_EQ(FormatClock(2500), "00:00:02"); // halves to even
    EXPECT_EQ(FormatRemainingSeconds(12 * 60 + 5), "00h12'05\"");
    EXPECT_EQ(FormatRemainingSeconds(-3), "00h00'00\"");
    EXPECT_EQ(FormatRemainingSeconds(100 * 3600 + 61), "100h01'01\"");
}

TEST(TimeBase, SynchronisationPeriods)
{
    const std::int32_t expected[] = {0, 60000, 120000, 300000, 600000, 1800000, 3600000, 0, 0};
    for (std::uint8_t code = 0; code < 9; ++code)
        EXPECT_EQ(SyncPeriodMsOf(code), expected[code]) << int(code);
}

} // namespace
