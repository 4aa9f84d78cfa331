// Element timing of the message: QRSS and DFCW, key gaps, the margin rule,
// the end of a message, "+", QSK lead and lag, the alarm.
#include "harness.h"
#include "io/simdevices.h"

#include <cmath>

namespace {

using Downs = std::vector<std::pair<std::int64_t, std::int64_t>>;
using keying::EndSequence;
using keying::Sending;

// Start-now runs begin with PTT on the first tick (100 ms) and key the first
// element on the first Sending tick (1500 ms); its nominal instant is 1400 ms.

TEST_F(EngineTest, QrssSingleDotAndTheMarginRule)
{
    DotLength = 3000;
    StartNow("E");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 4500}}));
    EXPECT_EQ(StateAt(EndSequence), 4600); // the tick after the release; no closing space
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_EQ(ptt.size(), 2u);
    EXPECT_EQ(ptt[0].at, 100);
    EXPECT_FALSE(ptt[1].on);
}

TEST_F(EngineTest, QrssDotDashAtRatioThree)
{
    StartNow("A");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 2500}, {3400, 6500}}));
    EXPECT_EQ(StateAt(EndSequence), 6600);
}

TEST_F(EngineTest, QrssRatioTwoDashIsTwoDots)
{
    RatioCode = 2;
    StartNow("TT");
    ASSERT_TRUE(RunToEnd());
    // Dash slot 3 s: 2 s down, 1 s up; then the 2 s character space.
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 3500}, {6400, 8500}}));
}

TEST_F(EngineTest, DfcwKeyGapAndLinePreset)
{
    DfcwMode = true;
    RatioCode = 1;
    KeyGap = 500;
    StartNow("A");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 2500}, {2900, 4000}}));
    EXPECT_EQ(StateAt(EndSequence), 4100);
    const auto dfcw = Edges(TimelineEvent::Dfcw);
    // Arm presets the dot level; the release presets the dash level.
    ASSERT_GE(dfcw.size(), 2u);
    EXPECT_EQ(dfcw[0].at, 200);
    EXPECT_FALSE(dfcw[0].on); // dot = not FskNormal
    EXPECT_EQ(dfcw[1].at, 2500);
    EXPECT_TRUE(dfcw[1].on);
    // The engine never pushes PTT in DFCW.
    for (const Edge& e : Edges(TimelineEvent::Ptt))
        EXPECT_FALSE(e.on);
}

TEST_F(EngineTest, DfcwReversePolarity)
{
    DfcwMode = true;
    RatioCode = 1;
    FskNormal = false;
    StartNow("T");
    ASSERT_TRUE(RunToEnd());
    const auto dfcw = Edges(TimelineEvent::Dfcw);
    ASSERT_FALSE(dfcw.empty());
    EXPECT_FALSE(dfcw[0].on); // a dash is the low level when reversed
}

TEST_F(EngineTest, DfcwOmittedGapsKeepTheKeyDownIntoTheSpace)
{
    DfcwMode = true;
    RatioCode = 1;
    KeyGap = 1000;
    OmitKeyGaps = true;
    StartNow("EE");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 2400}, {3400, 4400}}));
    EXPECT_EQ(StateAt(EndSequence), 4600); // two ticks after the last space began
}

TEST_F(EngineTest, DfcwZeroKeyGapIsNeverReleasedByTheMargin)
{
    DfcwMode = true;
    RatioCode = 1;
    StartNow("EE");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), (Downs{{1500, 2400}, {3400, 4400}}));
    EXPECT_EQ(Edges(TimelineEvent::Dfcw).size(), 1u); // only the Arm preset
}

TEST_F(EngineTest, DfcwHalfSpaceTruncates)
{
    DfcwMode = true;
    RatioCode = 0;
    DotLength = 1001;
    StartNow("E E");
    ASSERT_TRUE(RunToEnd());
    const auto keys = KeyEdges();
    ASSERT_GE(keys.size(), 3u);
    // 1400 + 1001 (dot) + 500 (closing half space) + 500 (word half space)
    EXPECT_EQ(keys[2].due, 3401);
}

TEST_F(EngineTest, PlusWithoutIdentificationKeepsTheTimeLine)
{
    StartNow("EE");
    ASSERT_TRUE(RunToEnd());
    const Downs plain = KeyDowns();
    TearDown();
    SetUp();
    run_ = std::make_unique<TimelineRun>();
    StartNow("E+E");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns(), plain);
}

TEST_F(EngineTest, PlusInsertsTheStartIdentification)
{
    StartId = {"E", true, 6};
    StopId.Wpm = 6;
    StartNow("T+T");
    ASSERT_TRUE(RunToEnd());
    const Downs downs = KeyDowns();
    // Start ID, first T, start ID again at the "+", second T.
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].second - downs[0].first, 200);
    EXPECT_EQ(downs[2].second - downs[2].first, 200);
    EXPECT_EQ(downs[1].second - downs[1].first, downs[3].second - downs[3].first);
    // The message goes on one second (10 ticks) after the identification ends.
    EXPECT_GE(downs[3].first - downs[2].second, 1000);
    EXPECT_LE(downs[3].first - downs[2].second, 2000);
}

TEST_F(EngineTest, QskBetweenElementsLeadsAndLags)
{
    QskMode = 1;
    TxDelay = 300;
    RxDelay = 100;
    StartNow("EE");
    ASSERT_TRUE(RunToEnd());
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_GE(ptt.size(), 3u);
    EXPECT_TRUE(ptt[0].on);
    EXPECT_EQ(ptt[0].at, 100);
    EXPECT_FALSE(ptt[1].on);
    EXPECT_EQ(ptt[1].at, 2600);  // one tick after the key release at 2500
    EXPECT_TRUE(ptt[2].on);
    EXPECT_EQ(ptt[2].at, 5100);  // 300 ms before the nominal 5400
    const Downs downs = KeyDowns();
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1].first, 5500); // within a tick of 5400
    // The mark after the lead is back on the time line: it lasts one dot.
    EXPECT_EQ(downs[1].second, 6500);
}

TEST_F(EngineTest, QskLongReleaseDoesNotDropPttUnderTheNextMark)
{
    QskMode = 1;
    TxDelay = 100;
    RxDelay = 1000; // PTT would drop 11 ticks after the release, inside the next dot
    StartNow("I");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 2u);
    bool ptt = false;
    for (const auto& e : run_->events) {
        if (e.kind == TimelineEvent::Ptt)
            ptt = e.level;
        const std::int64_t at = e.at - run_->startAbs;
        if (e.kind == TimelineEvent::Ptt && at >= downs[1].first && at < downs[1].second) {
            EXPECT_TRUE(ptt) << "PTT dropped at " << at << " under the mark";
        }
    }
}

TEST_F(EngineTest, QskMarksWithoutALeadKeepTheirSlot)
{
    // Between characters: the second dot of I follows no PTT release, so no
    // lead; it stays on the nominal time line instead of moving by TxDelay.
    QskMode = 2;
    TxDelay = 1000;
    StartNow("IE");
    ASSERT_TRUE(RunToEnd());
    const Downs downs = KeyDowns();
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].first, 1500);
    EXPECT_EQ(downs[1].first, 3400);
    // E follows a PTT release and its lead: keyed one tick after its nominal 7400.
    EXPECT_EQ(downs[2].first, 7500);
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_GE(ptt.size(), 3u);
    EXPECT_EQ(ptt[2].at, 6400); // the lead: TxDelay before 7400
}

TEST_F(EngineTest, SoundCardTonesFollowTheKeying)
{
    UseSpeaker = false;
    SidetoneOn = true;
    SidetoneFreq = 800.0;
    SoundLevel = 62.5;
    StartId = {"E", true, 6};
    StopId.Wpm = 6;
    StartNow("E");
    EXPECT_EQ(run_->myTone.left, 62); // halves to even
    EXPECT_EQ(run_->fastTone.right, 62);
    ASSERT_TRUE(RunToEnd());
    // The identification's element on FastToneGen (whole hertz, prepared),
    // the message's on MyToneGen.
    // Key-up of the dot, then the closing space starts and passes its key-up tick: three stops.
    EXPECT_EQ(run_->fastTone.calls, (std::vector<std::string>{"prepare 800.0", "play 800.0", "stop", "stop", "stop"}));
    ASSERT_GE(run_->myTone.calls.size(), 2u);
    EXPECT_EQ(run_->myTone.calls.front(), "play 800.0");
    EXPECT_EQ(run_->myTone.calls.back(), "stop");
}

TEST_F(EngineTest, DfcwTonesOnTheSoundCard)
{
    UseSpeaker = false;
    DfcwMode = true;
    RatioCode = 1;
    DfcwToneOn = true;
    StartNow("A");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(run_->myTone.calls, (std::vector<std::string>{"play 400.0", "play 404.0", "stop"}));
}

TEST_F(EngineTest, DotLengthsAndCodesFromAnEditedFileStayInRange)
{
    DotLength = INT32_MAX;
    RatioCode = 255;
    StartNow("T");
    EXPECT_EQ(Engine().R.DashSlot, 4 * 3599000); // ratio 3, the longest dot
    ASSERT_TRUE(RunToEnd());
    SetDefaultSettings();
    run_ = std::make_unique<TimelineRun>();
    DotLength = -5;
    StartNow("EE");
    EXPECT_EQ(Engine().R.DotSlot, 2000);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(KeyDowns().size(), 2u);
}

class AlarmTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        InstallPortDevices(&sim_);
    }
    void TearDown() override
    {
        InstallPortDevices(nullptr);
        EngineTest::TearDown();
    }
    // Instants (ms after the start) at which the chirp began: SpeakerOn at 400 Hz.
    std::vector<std::int64_t> Chirps() const
    {
        std::vector<std::int64_t> starts;
        const auto& accesses = sim_.Space().Accesses();
        for (std::size_t i = 0; i + 2 < accesses.size(); ++i) {
            const auto& a = accesses[i];
            // 2983 = 0x0BA7: the 400 Hz divisor, low byte first.
            if (a.write && a.address == 0x42 && a.value == 0xA7 && accesses[i + 1].value == 0x0B)
                starts.push_back(static_cast<std::int64_t>(std::llround(a.when * 86400000.0)) - run_->startAbs);
        }
        return starts;
    }
    SimPortDevices sim_{&run_->clock};
};

TEST_F(AlarmTest, ChirpsThreeTimesFromTheMessageStartWhenTheAlarmExceedsTheText)
{
    AlarmTime = 30;
    StartNow("TTTTT"); // 18 + 8 x 2 = 34 s... the alarm lies at the start of the message
    ASSERT_TRUE(RunToEnd());
    const auto chirps = Chirps();
    ASSERT_EQ(chirps.size(), 3u);
    const std::int64_t firstSending = StateAt(Sending) + 100;
    EXPECT_EQ(chirps[0], firstSending + 100);
    for (std::size_t i = 1; i < chirps.size(); ++i) {
        EXPECT_GE(chirps[i] - chirps[i - 1], 1000);
        EXPECT_LE(chirps[i] - chirps[i - 1], 1300); // a chirp blocks for 220 ms
    }
}

TEST_F(AlarmTest, ChirpsAlarmTimeBeforeTheEnd)
{
    AlarmTime = 10;
    StartNow("TTTTTTTTTT"); // 10 x 4 + 9 x 2 = 58 s
    ASSERT_TRUE(RunToEnd());
    const auto chirps = Chirps();
    ASSERT_EQ(chirps.size(), 3u);
    // Base: the first element's instant, 1400; alarm 48 s later; first chirp a tick after.
    EXPECT_GE(chirps[0], 1400 + 48000);
    EXPECT_LE(chirps[0], 1400 + 48000 + 200);
    EXPECT_TRUE(sim_.Space().Speaker().SystemControl() == 0 || !sim_.Space().Speaker().Sounding());
}

TEST_F(AlarmTest, LaterStartArmsTheAlarmToo)
{
    AlarmTime = 10;
    StartLater("TTTTTTTTTT", "100005", 10 * 3600000LL);
    ASSERT_TRUE(RunToEnd());
    const auto chirps = Chirps();
    ASSERT_EQ(chirps.size(), 3u);
    // Started at 10:00:05; the first element's instant 1.4 s later; alarm 48 s after that.
    EXPECT_GE(chirps[0], 5000 + 1400 + 48000);
    EXPECT_LE(chirps[0], 5000 + 1400 + 48000 + 200);
}

TEST_F(AlarmTest, NoAlarmWhenOff)
{
    StartNow("TT");
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(Chirps().empty());
}

} // namespace
