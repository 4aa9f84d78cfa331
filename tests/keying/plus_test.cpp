// A "+" in the text (a start sequence inside the message) with QSK and in
// DFCW, and the QSK invariants of QRSS over whole transmissions: the key is
// never down while PTT is off, PTT leads every key-down by the TX delay and
// QSK releases it only after the RX delay.
#include "harness.h"

namespace {

using namespace keying;

constexpr std::int64_t kMinute = 60000;

class PlusTest : public EngineTest {};

TEST_F(PlusTest, StartIdentificationAtAPlusWaitsForPttAndItsDelay)
{
    QskMode = 2; // between characters
    TxDelay = 300;
    RxDelay = 100;
    StartId = {"T", true, 6};
    StartNow("E+E");
    ASSERT_TRUE(RunToEnd());
    const auto ptt = Edges(TimelineEvent::Ptt);
    const auto downs = KeyDowns();
    // Start ID, E, the ID at "+", E.
    ASSERT_EQ(downs.size(), 4u);
    // PTT drops 100 ms after the first E and goes on again before the second ID.
    ASSERT_GE(ptt.size(), 3u);
    EXPECT_FALSE(ptt[1].on);
    EXPECT_EQ(ptt[1].at - downs[1].second, 100);
    EXPECT_TRUE(ptt[2].on);
    EXPECT_GE(downs[2].first - ptt[2].at, 300);
    EXPECT_LE(downs[2].first - ptt[2].at, 400);
    const LineCheck c = Check();
    EXPECT_EQ(c.keyWithoutPtt, -1);
    EXPECT_GE(c.shortestTxLead, 300);
}

TEST_F(PlusTest, MarkAfterAPlusWithoutIdentificationGetsItsLead)
{
    QskMode = 1;
    TxDelay = 1000;
    RxDelay = 0;
    StartNow("E+E");
    ASSERT_TRUE(RunToEnd());
    const auto downs = KeyDowns();
    ASSERT_EQ(downs.size(), 2u);
    // The second E keeps the time line (E's 2 s slot, its 2 s closing
    // space) and PTT is led in 1 s before it.
    EXPECT_EQ(downs[1].first - downs[0].first, 4000);
    const LineCheck c = Check();
    EXPECT_EQ(c.keyWithoutPtt, -1);
    EXPECT_GE(c.shortestTxLead, 1000);
}

TEST_F(PlusTest, DfcwPresetLooksThroughAWordSpaceButNotThroughAPlus)
{
    for (const char* text : {"E T", "E+T"}) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        DfcwMode = true;
        KeyGap = 500;
        FskNormal = true;
        StartNow(text);
        ASSERT_TRUE(RunToEnd());
        // DFCW operations between E's release and T's mark.
        const auto downs = KeyDowns();
        ASSERT_EQ(downs.size(), 2u);
        std::vector<bool> presets;
        for (const auto& e : run_->events) {
            const std::int64_t at = e.at - run_->startAbs;
            if (e.kind == TimelineEvent::Dfcw && at >= downs[0].second && at < downs[1].first)
                presets.push_back(e.level);
        }
        if (std::string(text) == "E T")
            EXPECT_EQ(presets, std::vector<bool>{true}) << "preset to the dash of T";
        else
            EXPECT_TRUE(presets.empty()) << "the line stays at E's level";
    }
}

struct Delays {
    std::int32_t tx, rx;
};

// Every QSK mode and delay, with "+" in several places, identifications at
// 6 and 12 WPM, synchronisation and repeats.
class QskSweep : public EngineTest, public testing::WithParamInterface<int> {};

TEST_P(QskSweep, KeyNeverDownWithoutPttAndDelaysKept)
{
    const int mode = GetParam();
    int runs = 0;
    // TX delays of 1 s and more do not fit into some gaps (1 s dots): PTT
    // then stays on, and no mark is shortened by a lead begun too late.
    for (const Delays d : {Delays{0, 0}, Delays{100, 300}, Delays{300, 100}, Delays{1000, 1000}, Delays{1000, 0},
                           Delays{2500, 100}, Delays{25000, 0}})
        for (const char* text : {"E+T", "AB +CD", "E+ T", "+E", "E+", "T+ +E"})
            for (const std::uint8_t wpm : {0, 6, 12})
                for (const std::uint8_t sync : {0, 1})
                    for (const std::int32_t interval : {-1, 0, 2}) {
                        SetDefaultSettings();
                        run_ = std::make_unique<TimelineRun>();
                        QskMode = static_cast<std::uint8_t>(mode);
                        TxDelay = d.tx;
                        RxDelay = d.rx;
                        StartId = {"T", wpm != 0, wpm == 0 ? std::uint8_t{6} : wpm};
                        StopId = {"E", wpm != 0, StartId.Wpm};
                        SyncPeriod = sync;
                        RepeatCount = interval < 0 ? 1 : 2;
                        RepeatInterval = interval < 0 ? 0 : interval;
                        StartNow(text, 10 * 3600000LL + 20000);
                        const std::string what = std::string(text) + " tx " + std::to_string(d.tx) + " rx "
                            + std::to_string(d.rx) + " id " + std::to_string(wpm) + " sync "
                            + std::to_string(sync) + " interval " + std::to_string(interval);
                        ASSERT_TRUE(RunToEnd(20 * kMinute)) << what;
                        const LineCheck c = Check();
                        ASSERT_EQ(c.keyWithoutPtt, -1) << what;
                        ASSERT_GE(c.shortestTxLead, d.tx) << what;
                        ASSERT_GE(c.shortestMark, 1000) << what;
                        if (c.shortestRxHold >= 0) {
                            ASSERT_GE(c.shortestRxHold, d.rx) << what;
                        }
                        ASSERT_FALSE(c.keyAtEnd || c.pttAtEnd) << what;
                        ++runs;
                    }
    EXPECT_EQ(runs, 7 * 6 * 3 * 2 * 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, QskSweep, testing::Values(1, 2, 3));

} // namespace
