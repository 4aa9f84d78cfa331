// Stops win: after Cancel, RX, Release key or the window closing nothing keys
// again by itself; settings from an edited file cannot hold the key for
// hours; a clock step never leaves PTT on for a whole synchronisation period.
#include "harness.h"

#include <climits>

namespace {

using namespace keying;

constexpr std::int64_t kMinute = 60000;

std::int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60LL + m) * 60 + s) * 1000 + ms; }

class StopTest : public EngineTest {
protected:
    // Runs `action` inside a blocking identification, right after its
    // `keyOns`-th key-down has been keyed and waited for (the key is down).
    void DuringFastId(int keyOns, const std::function<void()>& action)
    {
        run_->clock.whileWaiting = [this, keyOns, action] {
            if (!done_ && Engine().Lines().Key() && --downsSeen_ == 0) {
                done_ = true;
                stopEvent_ = run_->events.size();
                action();
            }
        };
        downsSeen_ = keyOns;
    }
    bool done_ = false;
    int downsSeen_ = 0;
    std::size_t stopEvent_ = 0;
};

TEST_F(StopTest, CancelInTheTestDuringAFastIdentificationLeavesEverythingOff)
{
    for (const bool close : {false, true}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        done_ = false;
        StopId = {"TEST", true, 12};
        StartId.Wpm = 12;
        RepeatInterval = 1;
        RepeatCount = 0;
        RunKind = kRunTest;
        run_->Start(At(10, 0, 0));
        run_->Tick();
        Engine().PushKey();
        DuringFastId(2, [this, close] {
            Engine().Cancel();
            if (close)
                Engine().Close();
        });
        TickTo(2 * kMinute);
        ASSERT_TRUE(done_);
        // The returning identification step keyed again before; and with the
        // window left open (no Close) the engine may go on: nothing keys.
        TickFor(10 * kMinute);
        const LineCheck c = Check(stopEvent_);
        EXPECT_FALSE(c.onSince) << close;
        EXPECT_FALSE(c.keyAtEnd);
        EXPECT_FALSE(c.pttAtEnd);
    }
}

TEST(GuardedLinesTest, AStopLocksUntilTheOperatorArms)
{
    SimClock clock;
    std::vector<TimelineEvent> events;
    RecordingLines port(clock, events);
    GuardedLines lines(port);
    lines.SetKey(true);
    lines.SetDfcw(true);
    lines.Stop(false); // key off, PTT off (lowers the shared DFCW output)
    ASSERT_EQ(events.size(), 4u);
    EXPECT_FALSE(events[2].level);
    EXPECT_EQ(events[3].kind, TimelineEvent::Ptt);
    lines.SetKey(true);
    lines.SetPtt(true);
    lines.SetDfcw(true);
    lines.SetDfcw(false); // switching off always passes
    EXPECT_EQ(events.size(), 5u);
    EXPECT_EQ(lines.Refused(), 3);
    lines.ArmPtt(); // Push PTT: PTT only
    lines.SetKey(true);
    lines.SetPtt(true);
    EXPECT_EQ(events.size(), 6u);
    lines.Arm();
    lines.SetKey(true);
    lines.StopPtt(); // Release PTT: the operator's key stays
    lines.SetPtt(true);
    EXPECT_TRUE(lines.Key());
    EXPECT_FALSE(lines.Ptt());
    lines.Stop(false);
    EXPECT_FALSE(lines.Key());
    EXPECT_TRUE(lines.Locked());
}

TEST_F(StopTest, OnlyTheOperatorsNextPushKeysAgain)
{
    StopId = {"E", true, 6};
    RepeatInterval = 1;
    RunKind = kRunTest;
    run_->Start(At(10, 0, 0));
    run_->Tick();
    Engine().PushPtt();
    Engine().PushKey();
    TickFor(kMinute + 500); // inside the identification's pause
    Engine().ReleaseKey();
    Engine().ReleasePtt();
    const std::size_t stop = run_->events.size();
    TickFor(10 * kMinute);
    EXPECT_FALSE(Check(stop).onSince);
    Engine().PushKey();
    EXPECT_TRUE(Check().keyAtEnd);
    EXPECT_TRUE(Engine().KeyTimerEnabled);
}

TEST_F(StopTest, ReleaseKeyTakesTheIdentificationsPttButNotTheOperators)
{
    for (const bool operatorPtt : {false, true}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        StopId = {"TEST", true, 6};
        RepeatInterval = 1;
        RunKind = kRunTest;
        run_->Start(At(10, 0, 0));
        run_->Tick();
        if (operatorPtt)
            Engine().PushPtt();
        Engine().PushKey();
        TickFor(kMinute + 1500); // the identification keys, PTT on (QRSS)
        ASSERT_TRUE(Check().pttAtEnd);
        Engine().ReleaseKey();
        TickFor(10 * kMinute);
        const LineCheck c = Check();
        EXPECT_FALSE(c.keyAtEnd);
        EXPECT_EQ(c.pttAtEnd, operatorPtt);
    }
}

TEST_F(StopTest, ReceiveDuringAFastStartIdentificationWithSynchronisationStops)
{
    StartId = {"QRSS", true, 12};
    StopId.Wpm = 12;
    SyncPeriod = 1;
    RunKind = kRunQso;
    run_->Start(At(10, 0, 20));
    Engine().TxClick("TEST");
    DuringFastId(3, [this] { Engine().TxClick(""); });
    TickFor(2 * kMinute);
    ASSERT_TRUE(done_);
    EXPECT_EQ(Engine().R.TxState, Idle);
    EXPECT_EQ(Engine().Display.TxCaption, "TX");
    EXPECT_TRUE(Engine().Display.TxVisible);
    const LineCheck c = Check(stopEvent_);
    EXPECT_FALSE(c.onSince);
    EXPECT_FALSE(c.pttAtEnd);
    EXPECT_EQ(StateAt(Sending), -1); // the message was never begun
    // The next TX keys again.
    Engine().TxClick("E");
    TickFor(kMinute + 10000);
    EXPECT_GE(StateAt(Sending), 0);
}

TEST_F(StopTest, TheEndOfARunLocksTheLinesUntilTheNextStart)
{
    StartNow("E");
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(Engine().Lines().Locked());
    RunKind = kRunQso; // showing the QSO window keys nothing before TX
    Engine().Prepare();
    EXPECT_TRUE(Engine().Lines().Locked());
    Engine().TxClick("E");
    EXPECT_FALSE(Engine().Lines().Locked());
}

// A key gap from an edited settings file is held to 0..3599 s where it is
// used: a negative one no longer holds the key for hours, an extreme one no
// longer overflows.
TEST_F(StopTest, KeyGapFromAFileIsHeldToItsRange)
{
    struct Case {
        std::int32_t gap;
        std::int64_t longest;
    };
    // A mark is keyed for its dot length; the gap is key-up time.
    for (const Case c : {Case{-5000, 1000}, Case{INT32_MIN, 1000}, Case{INT32_MAX, 1000}}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        DfcwMode = true;
        KeyGap = c.gap;
        StartNow("EE");
        ASSERT_TRUE(RunToEnd(20 * 3600000LL)) << c.gap;
        const LineCheck check = Check();
        EXPECT_LE(check.longestKeyDown, c.longest + 100) << c.gap;
        EXPECT_GE(check.longestKeyDown, c.longest - 100) << c.gap;
        EXPECT_FALSE(check.keyAtEnd);
    }
}

class ClockStepTest : public StopTest {
protected:
    // 1-minute synchronisation, started at 10:00:30; PTT goes on at the lead
    // 10:00:58 and the message is due at the boundary 10:01:00.
    void StartSynchronised()
    {
        SyncPeriod = 1;
        StartNow("E", At(10, 0, 30));
        TickTo(At(10, 0, 59, 500) - At(10, 0, 30));
        ASSERT_EQ(Engine().R.TxState, WaitBoundary);
        ASSERT_TRUE(Check().pttAtEnd);
    }
    std::int64_t Local(std::int64_t relative) const { return (run_->startAbs + relative) % 86400000; }
    // Time from the step to the first key-down, on the tick count.
    std::int64_t KeyDownAfterStep(std::int64_t step)
    {
        const std::uint32_t before = run_->clock.TickCount();
        run_->Jump(step);
        while (!Check().keyAtEnd && run_->clock.TickCount() - before < 10 * kMinute)
            run_->Tick();
        return run_->clock.TickCount() - before;
    }
};

TEST_F(ClockStepTest, AStepOverTheBoundaryMeetsItAtOnce)
{
    StartSynchronised();
    EXPECT_LE(KeyDownAfterStep(5000), 200);
}

TEST_F(ClockStepTest, AStepBackPlansAfreshWithPttOffUntilTheLead)
{
    StartSynchronised();
    const std::size_t step = run_->events.size();
    // Back 30 s: the boundary is 30.5 s away, beyond the 2 s lead.
    const std::int64_t after = KeyDownAfterStep(-30000);
    EXPECT_EQ(after, 30600);
    // PTT went off at once and on again at the new lead, 2 s before.
    std::vector<TimelineEvent> ptt;
    for (std::size_t i = step; i < run_->events.size(); ++i)
        if (run_->events[i].kind == TimelineEvent::Ptt)
            ptt.push_back(run_->events[i]);
    ASSERT_EQ(ptt.size(), 2u);
    EXPECT_FALSE(ptt[0].level);
    EXPECT_TRUE(ptt[1].level);
    EXPECT_EQ(Local(ptt[1].at - run_->startAbs), At(10, 0, 58));
}

TEST_F(ClockStepTest, AStepThatLandsWithinTheLeadWaitsForThatBoundary)
{
    for (const std::int64_t step : {3600000LL, -3600000LL, 1500LL}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        StartSynchronised();
        // PTT has been on 1.5 s; the next boundary on the new clock is half
        // a second away or was just jumped over.
        EXPECT_LE(KeyDownAfterStep(step), 600) << step;
    }
}

} // namespace
