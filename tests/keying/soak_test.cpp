// Long runs in simulated time: a two-day beacon with late ticks, hour-long
// elements, and steps of the local clock.
#include "harness.h"

#include <random>

namespace {

using namespace keying;

constexpr std::int64_t kHour = 3600000, kMinute = 60000, kDay = 86400000;

std::int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60LL + m) * 60 + s) * 1000 + ms; }

class LongRunTest : public EngineTest {
protected:
    std::int64_t LocalOf(std::int64_t relative) const { return ((run_->startAbs + relative) % kDay + kDay) % kDay; }
    std::int64_t DayOf(std::int64_t relative) const { return (run_->startAbs + relative) / kDay; }
    // Ticks until `relative` ms after the start.
    void TickUntil(std::int64_t relative)
    {
        while (run_->clock.Abs() - run_->startAbs < relative)
            run_->Tick();
    }
    std::vector<Edge> RunBaseline(const std::string& text)
    {
        StartNow(text);
        EXPECT_TRUE(RunToEnd());
        return KeyEdges();
    }
};

TEST_F(LongRunTest, TwoDayBeaconWithLateTicksStaysOnItsTimeLine)
{
    RepeatCount = 0;
    RepeatInterval = 10;
    SyncPeriod = 3;
    DotLength = 3000;
    StartId = {"VANTREL", true, 12};
    StopId = {"VANTREL", true, 12};
    StartNow("VVV DE AB1CD", At(10, 0, 0));
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::int32_t> late(0, 90);
    EXPECT_FALSE(run_->Run(48 * kHour, [&] { return late(random); }));

    int messages = 0;
    bool messageStart = false;
    std::uint8_t previous = Idle;
    for (const auto& e : run_->events) {
        if (e.kind == TimelineEvent::State) {
            messageStart = messageStart || (e.state == Sending && previous != Sending);
            previous = e.state;
            continue;
        }
        if (e.kind != TimelineEvent::Key || e.state != Sending)
            continue;
        if (e.level) {
            // Keyed on the first tick at or after its instant (lateness up to
            // 90 ms); a message's first element one tick after its boundary.
            const std::int64_t late = e.at - e.due;
            if (messageStart) {
                EXPECT_EQ(e.due % 300000, 0) << "message not on a 5-minute boundary";
                EXPECT_GE(late, 100);
                EXPECT_LE(late, 190);
                ++messages;
                messageStart = false;
            } else {
                EXPECT_GE(late, 0);
                EXPECT_LE(late, 90);
            }
        } else if (e.at < e.due) {
            // Released by the margin: the first tick with less than one dot left.
            EXPECT_GT(e.at - (e.due - 3000), 0);
            EXPECT_LE(e.at - (e.due - 3000), 190);
        }
    }
    // Ten-minute interval, five-minute synchronisation: a message every 15 minutes.
    EXPECT_GE(messages, 48 * 4 - 1);
    EXPECT_LE(messages, 48 * 4 + 1);
    EXPECT_EQ(DayOf(run_->clock.Abs() - run_->startAbs) - DayOf(0), 2); // two midnights
    Engine().Cancel();
    EXPECT_FALSE(LastLevel(TimelineEvent::Key));
    EXPECT_FALSE(LastLevel(TimelineEvent::Ptt));
}

TEST_F(LongRunTest, HourLongDotsKeyTheirFullLength)
{
    DotLength = 3599000;
    StartNow("T");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].second - downs[0].first, 3 * 3599000);
}

TEST_F(LongRunTest, LongWaitsAreHeldButShortOnesKeepTheirWindow)
{
    // DFCW: key gap and dot add up to 7198 s, beyond the 100-minute reach window.
    DfcwMode = true;
    RatioCode = 1;
    DotLength = 3599000;
    KeyGap = 3599000;
    StartNow("TT");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0], std::make_pair(std::int64_t{1500}, std::int64_t{1500 + 3599000}));
    EXPECT_EQ(downs[1].first, 1400 + 3 * 3599000); // after the mark, its gap and the closing space
}

// A step of the local clock during a message: every element keeps its length,
// the message moves with the clock.
TEST_F(LongRunTest, ClockStepsDuringAMessageKeepEveryElement)
{
    for (const std::int64_t step : {kHour, -kHour, 3 * kDay}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        const auto baseline = RunBaseline("TTTTT");
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        StartNow("TTTTT");
        TickUntil(10000);
        run_->Jump(step);
        ASSERT_TRUE(RunToEnd()) << step;
        const auto edges = KeyEdges();
        ASSERT_EQ(edges.size(), baseline.size()) << step;
        // Edges after the step come exactly `step` later on the local clock.
        for (std::size_t i = 0; i < edges.size(); ++i) {
            const std::int64_t shift = baseline[i].at > 10000 ? step : 0;
            EXPECT_EQ(edges[i].at, baseline[i].at + shift) << "edge " << i << " step " << step;
        }
        EXPECT_FALSE(LastLevel(TimelineEvent::Key));
    }
}

TEST_F(LongRunTest, SmallStepsActOnTheTimeLine)
{
    const auto baseline = RunBaseline("TTTTT");
    SetDefaultSettings();
    run_ = std::make_unique<TimelineRun>();
    StartNow("TTTTT");
    TickUntil(10000);
    run_->Jump(500);
    ASSERT_TRUE(RunToEnd());
    const auto edges = KeyEdges();
    ASSERT_EQ(edges.size(), baseline.size());
    for (std::size_t i = 1; i < edges.size(); ++i) {
        const std::int64_t length = edges[i].at - edges[i - 1].at;
        const std::int64_t expected = baseline[i].at - baseline[i - 1].at;
        EXPECT_LE(std::llabs(length - expected), 600) << i;
    }
}

TEST_F(LongRunTest, SynchronisationWaitsLandOnTheNewClock)
{
    struct Case {
        std::int64_t stepAt;  // local time of the step
        std::int64_t step;
        std::int64_t expectedStart; // local time of the first key-on
    };
    const Case cases[] = {
        {At(10, 3, 30), kHour, At(11, 5, 0, 100)},       // waiting for the lead
        {At(10, 3, 30), -kHour, At(9, 5, 0, 100)},
        {At(10, 4, 59, 550), kHour, At(11, 5, 0, 100)},  // waiting for the boundary
        {At(10, 4, 59, 550), -kHour, At(9, 5, 0, 100)},
    };
    for (const Case& c : cases) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        SyncPeriod = 3;
        StartNow("E", At(10, 2, 59));
        TickUntil(c.stepAt - At(10, 2, 59));
        run_->Jump(c.step);
        ASSERT_TRUE(RunToEnd());
        const auto downs = KeyDowns();
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(LocalOf(downs[0].first), c.expectedStart) << c.stepAt << ' ' << c.step;
    }
}

TEST_F(LongRunTest, RepeatIntervalKeepsItsLengthAcrossASteps)
{
    for (const std::int64_t step : {kHour, -kHour, 3 * kDay}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        RepeatCount = 2;
        RepeatInterval = 2;
        StartNow("E", At(10, 0, 0));
        TickUntil(kMinute); // in the repeat wait
        ASSERT_EQ(Engine().R.TxState, WaitRepeat);
        run_->Jump(step);
        ASSERT_TRUE(RunToEnd());
        const auto downs = KeyDowns();
        ASSERT_EQ(downs.size(), 2u);
        // Two minutes after the first start, on the stepped clock.
        EXPECT_EQ(downs[1].first - step, 2 * kMinute + 200) << step;
    }
}

TEST_F(LongRunTest, ClockSetDaysAheadMeetsTheStartTimeOnTheNewClock)
{
    StartLater("E", "140000", At(10, 0, 0));
    TickUntil(kMinute);
    run_->Jump(3 * kDay);
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(DayOf(downs[0].first), DayOf(0) + 3);
    EXPECT_EQ(LocalOf(downs[0].first), At(14, 0, 1, 500));
}

TEST_F(LongRunTest, DaylightSavingForwardPassesAStartTimeItSkips)
{
    StartLater("E", "023000", At(1, 59, 0));
    TickUntil(kMinute); // 02:00:00 becomes 03:00:00
    run_->Jump(kHour);
    run_->Tick();
    EXPECT_EQ(Engine().R.TxState, PlanSync);
}

} // namespace
