// Steps of the local clock against the repeat schedule and the
// synchronisation: transmissions begin the repeat interval apart on the tick
// count whatever the clock does, the schedule follows the new clock, and a
// synchronisation slot that a step meets or jumps over is kept.
#include "harness.h"

namespace {

using namespace keying;

constexpr std::int64_t kHour = 3600000, kMinute = 60000, kDay = 86400000;

std::int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60LL + m) * 60 + s) * 1000 + ms; }

class ClockStepScheduleTest : public EngineTest {
protected:
    std::int64_t LocalOf(std::int64_t abs) const { return (abs % kDay + kDay) % kDay; }
};

TEST_F(ClockStepScheduleTest, RepeatsKeepTheirIntervalOnTheTickCount)
{
    struct Case {
        const char* what;
        const char* later; // a later start shown at 09:59:00, else a start now at 10:00:00
        std::int64_t stepAt, step;
        std::int64_t lastStart; // local time of the fourth transmission
    };
    // "TTT" takes about 19 s of every minute.
    const Case cases[] = {
        {"forward during a message", nullptr, At(10, 1, 5), kHour, At(11, 3, 0)},
        {"back during a message", nullptr, At(10, 1, 5), -kHour, At(9, 3, 0)},
        {"forward during the repeat wait", nullptr, At(10, 1, 40), kHour, At(11, 3, 0)},
        {"back during the repeat wait", nullptr, At(10, 1, 40), -kHour, At(9, 3, 0)},
        {"forward during the starting pause", nullptr, At(10, 0, 0, 500), kHour, At(11, 3, 0)},
        {"a later start jumped over", "100030", At(10, 0, 0), kHour, At(11, 3, 0)},
        {"a slewing step", nullptr, At(10, 1, 5), 900, At(10, 3, 0, 900)},
    };
    for (const Case& c : cases) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        RepeatCount = 4;
        RepeatInterval = 1;
        if (c.later != nullptr)
            StartLater("TTT", c.later, At(9, 59, 0));
        else
            StartNow("TTT", At(10, 0, 0));
        run_->JumpAt(c.stepAt, c.step);
        ASSERT_TRUE(RunToEnd()) << c.what;
        const auto starts = TransmissionStarts();
        ASSERT_EQ(starts.size(), 4u) << c.what;
        for (std::size_t i = 1; i < starts.size(); ++i)
            EXPECT_EQ(starts[i].mono - starts[i - 1].mono, kMinute) << c.what << ", start " << i;
        EXPECT_EQ(LocalOf(starts.back().at), c.lastStart) << c.what;
    }
}

TEST_F(ClockStepScheduleTest, ASynchronisationSlotMetOrJumpedOverIsKept)
{
    struct Case {
        const char* what;
        std::uint8_t sync;
        std::int64_t start, stepAt, step;
        std::int64_t keyOn; // local time of the message's first key-down
    };
    const Case cases[] = {
        {"spring forward on the hour", 6, At(1, 59, 0), At(2, 0, 0), kHour, At(3, 0, 0, 100)},
        {"fall back on the hour", 6, At(2, 59, 0), At(3, 0, 0), -kHour, At(2, 0, 0, 100)},
        {"jumped over while PTT waits", 1, At(10, 0, 30), At(10, 0, 59, 500), 90000, At(10, 2, 29, 600)},
        {"jumped over in the starting pause", 1, At(10, 0, 30), At(10, 0, 59), 90000, At(10, 2, 29, 500)},
        {"jumped over before the lead", 1, At(10, 0, 30), At(10, 0, 40), 45000, At(10, 1, 26, 500)},
        {"landed within the lead", 1, At(10, 0, 30), At(10, 0, 40), -41500, At(10, 0, 0, 100)},
    };
    for (const Case& c : cases) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        SyncPeriod = c.sync;
        StartNow("E", c.start);
        run_->JumpAt(c.stepAt, c.step);
        ASSERT_TRUE(RunToEnd()) << c.what;
        const auto downs = KeyDowns();
        ASSERT_EQ(downs.size(), 1u) << c.what;
        EXPECT_EQ(LocalOf(run_->startAbs + downs[0].first), c.keyOn) << c.what;
        EXPECT_EQ(Check().keyWithoutPtt, -1) << c.what;
    }
}

} // namespace
