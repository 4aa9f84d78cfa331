// The tick as the window delivers it: each tick stands for the tenth of a
// second just before it, so lateness never moves an edge by a tick; the
// timeline runner ticks as the window does around blocking waits.
#include "harness.h"

#include <random>

namespace {

using namespace keying;

class TickTest : public EngineTest {
protected:
    // Key edges as the tenths of the ticks that made them, from the start.
    std::vector<std::int64_t> EdgeTenths() const
    {
        std::vector<std::int64_t> tenths;
        for (const Edge& e : KeyEdges())
            tenths.push_back((run_->startAbs + e.at) / 100 * 100 - run_->startAbs);
        return tenths;
    }
};

TEST_F(TickTest, LatenessNeverMovesAnEdgeByATick)
{
    const std::int64_t shown = 10 * 3600000LL + 437; // the window is shown off the grid
    StartNow("EE", shown);
    ASSERT_TRUE(RunToEnd());
    const auto reference = EdgeTenths();
    ASSERT_EQ(reference.size(), 4u);
    // The message's time line starts at the tick that begins it; its first
    // mark is keyed on the next tick. A 1 s dot is released at the first
    // tick with less than 1 s left in its 2 s slot; the second E is due 4 s
    // (the slot and E's closing space) after the first.
    const auto edges = KeyEdges();
    EXPECT_EQ(edges[0].at - edges[0].due, 100);
    EXPECT_EQ(edges[1].at - edges[0].due, 1100);
    EXPECT_EQ(edges[2].at - edges[0].due, 4000);
    EXPECT_EQ(edges[3].at - edges[2].at, 1100);
    for (const auto& e : run_->events) {
        if (e.kind == TimelineEvent::Key) {
            EXPECT_EQ(e.due % 100, 0) << "time lines start on a tenth";
        }
    }

    for (unsigned seed = 1; seed <= 30; ++seed) {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        StartNow("EE", shown);
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::int32_t> late(2, 60);
        ASSERT_TRUE(run_->Run(3600000, [&] { return late(random); }));
        EXPECT_EQ(EdgeTenths(), reference) << seed;
    }
}

TEST_F(TickTest, TimelineRunnerTicksLikeTheWindow)
{
    StopId = {"EE", true, 12};
    StartId.Wpm = 12;
    AlarmTime = 3600; // at the message's first element: three chirps
    StartNow("EEE");
    std::vector<std::pair<std::int64_t, std::int64_t>> ticks; // (came, ended)
    while (!Engine().Display.CloseRequested) {
        run_->Tick();
        ticks.emplace_back(run_->lastTickAt, run_->clock.Abs());
        ASSERT_LT(ticks.size(), 1000u);
    }
    int chirps = 0, waits = 0;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const auto [came, ended] = ticks[i - 1];
        const std::int64_t next = ticks[i].first;
        if (ended - came == 220) {
            // A plain sleep: the late tick comes once, at once.
            EXPECT_EQ(next, ended);
            ++chirps;
        } else if (ended > came) {
            // A blocking identification: its ticks only refreshed the clock;
            // the engine goes on at the first tenth after it.
            EXPECT_EQ(next, ended / 100 * 100 + 100);
            ++waits;
        } else {
            EXPECT_EQ(next, came / 100 * 100 + 100); // the next tenth, also after a late tick
        }
        EXPECT_TRUE(next % 100 == 0 || ended - came == 220) << next;
    }
    EXPECT_EQ(chirps, 3);
    EXPECT_EQ(waits, 1);
    // PTT drops on the grid, at the first tick after the stop identification.
    const auto ptt = Edges(TimelineEvent::Ptt);
    ASSERT_FALSE(ptt.empty());
    EXPECT_EQ((run_->startAbs + ptt.back().at) % 100, 0);
}

} // namespace
