// The state machine over whole transmissions: synchronisation, identifications,
// repeats, the stop time, the transmitter test, QSO mode, and the window texts.
#include "harness.h"

#include <set>

namespace {

using namespace keying;

constexpr std::int64_t kHour = 3600000, kMinute = 60000;

std::int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60LL + m) * 60 + s) * 1000 + ms; }

class SequenceTest : public EngineTest {
protected:
    // Local time of day (ms) of a run-relative instant.
    std::int64_t Local(std::int64_t relative) const
    {
        return ((run_->startAbs + relative) % 86400000 + 86400000) % 86400000;
    }
    // First key-on of each message (key-on edges of the Sending state after a
    // state change into Sending).
    std::vector<std::int64_t> MessageStarts() const
    {
        std::vector<std::int64_t> starts;
        bool armed = false;
        for (const auto& e : run_->events) {
            if (e.kind == TimelineEvent::State)
                armed = armed || e.state == WaitBoundary || e.state == BeginSequence;
            else if (armed && e.kind == TimelineEvent::Key && e.level && e.state == Sending) {
                starts.push_back(e.at - run_->startAbs);
                armed = false;
            }
        }
        return starts;
    }
};

TEST_F(SequenceTest, SynchronisedStartWaitsForTheBoundary)
{
    SyncPeriod = 3;
    StartNow("E", At(10, 2, 59));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Engine().R.SyncPeriodMs, 300000);
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_FALSE(ptt.empty());
    EXPECT_EQ(Local(ptt[0].at), At(10, 4, 58));
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(Local(downs[0].first), At(10, 5, 0, 100));
}

TEST_F(SequenceTest, LeadInstantAlreadyPassedMovesToTheNextBoundary)
{
    SyncPeriod = 3;
    StartNow("E", At(10, 4, 59));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Local(KeyDowns().at(0).first), At(10, 10, 0, 100));
}

TEST_F(SequenceTest, StartIdentificationBeginsThirteenTicksAfterTheLead)
{
    SyncPeriod = 3;
    StartId = {"E", true, 6};
    StartNow("E", At(10, 2, 0));
    ASSERT_TRUE(RunToEnd());
    // Lead: (0 + 5) x 1200 = 6 s before the boundary.
    const std::int64_t lead = At(10, 5, 0) - 6000;
    EXPECT_EQ(Local(StateAt(SendingId)), lead + 1300);
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].second - downs[0].first, 200); // the 6 WPM dot
    EXPECT_EQ(Local(downs[1].first), At(10, 5, 0, 100));
}

TEST_F(SequenceTest, SixWpmIdentificationTicks)
{
    StopId = {"E", true, 6};
    StartNow("");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].second - downs[0].first, 200);
    // One second of pause before the stop identification, PTT on for it.
    const std::int64_t begin = StateAt(SendingId);
    EXPECT_EQ(downs[0].first - begin, 1100);
    // IdTickStep reports the end on the ninth tick, counting the first key-down tick.
    EXPECT_EQ(StateAt(Stopping) - downs[0].first, 800);
}

TEST_F(SequenceTest, FastIdentificationKeysAtItsOwnSpeed)
{
    StartId = {"IS", true, 12};
    StopId.Wpm = 12;
    StartNow("E");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 6u);
    // I: two dots of 100 ms with 100 ms between; S: three; then the message.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(downs[i].second - downs[i].first, 100) << i;
    EXPECT_EQ(downs[1].first - downs[0].second, 100);
    // Character space: the closing space element (one dash, 300) after the dot's 100.
    EXPECT_EQ(downs[2].first - downs[1].second, 400);
    // The identification ends after S's last dot, its 100 ms off and its
    // closing space (300); the ticks during it only refreshed the clock, and
    // the message follows one second (10 ticks) after its end.
    EXPECT_EQ(downs[5].first - downs[4].second, 100 + 300 + 1000);
}

TEST_F(SequenceTest, CountedRepeatsWithInterval)
{
    RepeatCount = 3;
    RepeatInterval = 1;
    StartNow("E", At(10, 0, 0));
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : 3 times (0 done) at 2 min. interval");
    std::vector<std::string> lines;
    std::string last = Engine().Display.Repeat;
    while (!Engine().Display.CloseRequested && run_->clock.Abs() - run_->startAbs < kHour) {
        run_->Tick();
        if (Engine().Display.Repeat != last)
            lines.push_back(last = Engine().Display.Repeat);
    }
    ASSERT_TRUE(Engine().Display.CloseRequested);
    EXPECT_EQ(lines, (std::vector<std::string>{"Repeat text : 3 times (1 done) at 1 min. interval",
                                               "Repeat text : 3 times (2 done) at 1 min. interval"}));
    const auto starts = MessageStarts();
    EXPECT_EQ(starts, (std::vector<std::int64_t>{1500, kMinute + 200, 2 * kMinute + 200}));
    // PTT drops while the repeat waits.
    EXPECT_FALSE(LastLevel(TimelineEvent::Ptt));
}

TEST_F(SequenceTest, EndlessNonStopRepeatsDropPttForOneTick)
{
    RepeatCount = 0;
    RepeatInterval = 0;
    StartNow("E");
    EXPECT_FALSE(RunToEnd(60000));
    const auto starts = MessageStarts();
    ASSERT_GE(starts.size(), 5u);
    // No starting pause between messages: 2 s of E and a few ticks of sequence.
    EXPECT_LE(starts[2] - starts[1], 3000);
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_GE(ptt.size(), 3u);
    EXPECT_FALSE(ptt[1].on);
    EXPECT_TRUE(ptt[2].on);
    EXPECT_EQ(ptt[2].at - ptt[1].at, 100);
}

TEST_F(SequenceTest, SynchronisedRepeatCycles)
{
    for (const auto& [interval, cycle] : {std::pair{12, 15}, std::pair{15, 20}}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        SyncPeriod = 3;
        RepeatCount = 3;
        RepeatInterval = static_cast<std::uint8_t>(interval);
        StartNow("E", At(10, 0, 0));
        ASSERT_TRUE(RunToEnd());
        const auto starts = MessageStarts();
        ASSERT_EQ(starts.size(), 3u) << interval;
        EXPECT_EQ(Local(starts[0]), At(10, 5, 0, 100));
        EXPECT_EQ(starts[1] - starts[0], cycle * kMinute) << interval;
        EXPECT_EQ(starts[2] - starts[1], cycle * kMinute) << interval;
    }
}

TEST_F(SequenceTest, StopTimeCompletesTheMessageThatBegan)
{
    RepeatCount = 0;
    RepeatInterval = 1;
    StartLater("E", "100010", At(10, 0, 0), "100100");
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : Transmission will start at 10:00:10 and stop at 10:01:00");
    ASSERT_TRUE(RunToEnd());
    // The stop time passes while the repeat waits: no further message begins.
    const auto starts = MessageStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Local(starts[0]), At(10, 0, 11, 500));
    EXPECT_EQ(Local(run_->clock.Abs() - run_->startAbs), At(10, 1, 0)); // closed on that tick
}

TEST_F(SequenceTest, NothingBeginsAfterTheStopTime)
{
    struct Case {
        const char* what;
        std::uint8_t sync;
        std::int64_t shown;
        const char* stop;
        std::size_t downs;
    };
    // "TT" then the stop identification "E", twice, from 10:00:10.
    const Case cases[] = {
        {"during the message: no stop identification", 0, At(10, 0, 0), "100012", 2},
        {"during the starting pause", 0, At(10, 0, 0), "100011", 0},
        {"during the synchronisation wait", 1, At(10, 0, 0), "100030", 0},
        {"before the start: the next day's", 0, At(9, 40, 0), "095000", 6},
    };
    for (const Case& c : cases) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        RepeatCount = 2;
        RepeatInterval = 1;
        SyncPeriod = c.sync;
        StopId = {"E", true, 6};
        StartLater("TT", "100010", c.shown, c.stop);
        ASSERT_TRUE(RunToEnd()) << c.what;
        EXPECT_EQ(KeyDowns().size(), c.downs) << c.what;
        EXPECT_FALSE(Check().pttAtEnd) << c.what;
    }
}

TEST_F(SequenceTest, LateTickStillMeetsTheStartTime)
{
    StartLater("E", "100000", At(9, 59, 59, 850));
    run_->Tick();                // 09:59:59.950
    run_->clock.Advance(1100);   // the program is stalled across 10:00:00
    run_->Tick();                // 10:00:01.050
    EXPECT_EQ(Engine().R.TxState, PlanSync);
    EXPECT_EQ(Engine().Display.Title.substr(0, 38), "Vantrel (V4.14) : QRSS , 1 s dot (star");
}

TEST_F(SequenceTest, StopTimeInsideAFastIdentificationEndsLikeAtSixWpm)
{
    for (const std::uint8_t wpm : {6, 12}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        RepeatCount = 0;
        RepeatInterval = 2;
        StopId = {"TEST DE VANTREL TEST", true, wpm};
        StartId.Wpm = wpm;
        // The stop time falls during the stop identification of the first message.
        StartLater("E", "100000", At(9, 59, 59), "100008");
        ASSERT_TRUE(RunToEnd(kHour)) << int(wpm);
        EXPECT_EQ(MessageStarts().size(), 1u) << int(wpm);
        EXPECT_LT(run_->clock.Abs() - run_->startAbs, 2 * kMinute) << int(wpm);
    }
}

TEST_F(SequenceTest, TransmitterTestSendsTheStopTextWhileTheKeyIsHeld)
{
    StopId = {"E", true, 6};
    RepeatCount = 2;
    RepeatInterval = 1;
    RunKind = kRunTest;
    run_->Start(At(10, 0, 0));
    EXPECT_EQ(Engine().Display.Title, "Transmitter test");
    run_->Tick();
    Engine().PushKey();
    Engine().PushKey(); // twice changes nothing
    ASSERT_TRUE(RunToEnd(10 * kMinute));
    const auto downs = KeyDowns();
    // Held, the identification, held again, the last identification.
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].first, 100);
    EXPECT_EQ(downs[0].second, 200 + kMinute);
    EXPECT_EQ(downs[1].second - downs[1].first, 200);
    EXPECT_GE(downs[1].first - downs[0].second, 1000);
    EXPECT_EQ(downs[3].second - downs[3].first, 200);
    EXPECT_GE(downs[2].second - downs[2].first, kMinute);
    EXPECT_FALSE(LastLevel(TimelineEvent::Key));
}

TEST_F(SequenceTest, TestButtonsWithoutIdentification)
{
    RunKind = kRunTest;
    run_->Start(At(10, 0, 0));
    Engine().ReleaseKey(); // without a push: nothing
    EXPECT_TRUE(KeyEdges().empty());
    Engine().PushPtt();
    Engine().PushKey();
    EXPECT_FALSE(Engine().KeyTimerEnabled);
    Engine().ReleaseKey();
    Engine().ReleasePtt();
    EXPECT_EQ(KeyEdges().size(), 2u);
    EXPECT_FALSE(LastLevel(TimelineEvent::Ptt));
}

TEST_F(SequenceTest, QsoReceiveDuringSynchronisationReturnsAtOnce)
{
    SyncPeriod = 4;
    DfcwMode = false;
    RunKind = kRunQso;
    run_->Start(At(9, 15, 0));
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QSO mode (QRSS : 1 s dot)");
    Engine().TxClick("  CQ ");
    EXPECT_EQ(Engine().R.Message, "CQ");
    EXPECT_EQ(Engine().Display.TxCaption, "RX");
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QSO mode (QRSS : 1 s dot) started at 09:15:00");
    for (int i = 0; i < 5; ++i)
        run_->Tick();
    EXPECT_EQ(Engine().R.TxState, WaitSyncLead);
    Engine().TxClick("");
    run_->Tick();
    EXPECT_EQ(Engine().R.TxState, Idle);
    EXPECT_EQ(Engine().Display.TxCaption, "TX");
    EXPECT_TRUE(Engine().Display.TxVisible);
    EXPECT_TRUE(Engine().Display.EditVisible);
    EXPECT_FALSE(Engine().Display.CloseRequested);
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QSO mode (QRSS : 1 s dot)");
    EXPECT_FALSE(LastLevel(TimelineEvent::Key));
}

TEST_F(SequenceTest, QsoSpeedChangeTakesEffectAtTheNextCharacter)
{
    DfcwMode = true;
    RatioCode = 1;
    DotLength = 60000;
    RunKind = kRunQso;
    run_->Start(At(9, 15, 0));
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QSO mode (DFCW : 60 s dot)");
    Engine().SetQsoDot(1000, 0);
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QSO mode (DFCW : 1 s dot)");
    Engine().TxClick("TT");
    while (KeyDowns().empty())
        run_->Tick();
    Engine().SetQsoDot(2000, 0); // during the first T
    EXPECT_NE(Engine().Display.Title.find("(DFCW : 1 s dot) started at"), std::string::npos);
    while (KeyDowns().size() < 2)
        run_->Tick();
    EXPECT_NE(Engine().Display.Title.find("(DFCW : 2 s dot) started at"), std::string::npos);
    while (Engine().R.TxState != Idle)
        run_->Tick();
    const auto keys = KeyEdges();
    // DFCW, no key gap: each T keys until its closing space begins.
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[1].at - keys[0].at, 1000 - 100);
    EXPECT_EQ(keys[3].at - keys[2].at, 2000);
}

TEST_F(SequenceTest, StatusAndRepeatTexts)
{
    RepeatCount = 0;
    RepeatInterval = 10;
    StartNow("TEST", At(14, 25, 30));
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : endless (0 done) at 11 min. interval");
    EXPECT_EQ(Engine().Display.Title, "Vantrel (V4.14) : QRSS , 1 s dot (transmission started at 14:25:30)");
    EXPECT_EQ(StartTime, "14:25:30");
    while (Engine().R.TxState != Sending)
        run_->Tick();
    run_->Tick();
    run_->Tick();
    EXPECT_EQ(Engine().Display.Status.substr(0, 50), "Status : transmitting QRSS, end expected in 00h00'");
    while (Engine().R.TxState != WaitRepeat)
        run_->Tick();
    run_->Tick();
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : endless (1 done) at 10 min. interval");
    EXPECT_EQ(Engine().Display.Status, "Status : next transmission will start at 14:35:30");

    SetDefaultSettings();
    run_ = std::make_unique<TimelineRun>();
    RepeatCount = 5;
    RepeatInterval = 15;
    SyncPeriod = 3;
    StartNow("E");
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : 5 times (0 done) at 20 min. interval");
    run_->Tick();
    run_->Tick();
    EXPECT_EQ(Engine().Display.Status, "Status : start ID at 10:04:58");
    while (Engine().R.TxState != WaitRepeat)
        run_->Tick();
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : 5 times (1 done) at 15 min. interval");

    SetDefaultSettings();
    run_ = std::make_unique<TimelineRun>();
    RepeatCount = 3;
    RepeatInterval = 0;
    StartNow("E");
    EXPECT_EQ(Engine().Display.Repeat, "Repeat text : 3 times (0 done)");
}

TEST_F(SequenceTest, EveryStatusLineOfATransmission)
{
    SyncPeriod = 1;
    StartId = {"E", true, 6};
    StopId = {"E", true, 6};
    RepeatCount = 2;
    RepeatInterval = 2;
    StartNow("E", At(10, 0, 30));
    std::set<std::string> seen;
    while (!Engine().Display.CloseRequested && run_->clock.Abs() - run_->startAbs < kHour) {
        run_->Tick();
        seen.insert(Engine().Display.Status);
    }
    for (const char* status : {"Status : start ID at 10:00:54", "Status : starting", "Status : transmitting start ID",
                               "Status : synchronisation at 10:01:00", "Status : transmitting stop ID",
                               "Status : next transmission will start at 10:03:00", "Status : start ID at 10:03:54",
                               "Status : stopping"})
        EXPECT_EQ(seen.count(status), 1u) << status;
    EXPECT_EQ(seen.count("Status : transmitting QRSS, end expected in 00h00'02\""), 1u);
}

TEST_F(SequenceTest, CancelSwitchesEverythingOff)
{
    StartNow("TTTT");
    for (int i = 0; i < 20; ++i)
        run_->Tick();
    ASSERT_FALSE(KeyEdges().empty());
    Engine().Cancel();
    Engine().Close();
    EXPECT_TRUE(Engine().R.CloseAllowed);
    EXPECT_TRUE(DialogCancelled);
    EXPECT_FALSE(LastLevel(TimelineEvent::Key));
    EXPECT_FALSE(LastLevel(TimelineEvent::Ptt));
}

} // namespace
