// Every way out at every situation a transmission passes through: for each
// run kind that keys, a probe run notes the first tick of each situation
// (state, sub-step, lines; inside a blocking identification too). Each way
// out that exists there is then applied at that point of a fresh identical
// run, and key and PTT must go off and stay off for ten simulated minutes,
// while the engine goes on ticking as long as the window would let it.
#include "harness.h"

#include <functional>
#include <map>

namespace {

using namespace keying;

constexpr std::int64_t kMinute = 60000;

std::int64_t At(int h, int m, int s) { return ((h * 60LL + m) * 60 + s) * 1000; }

struct Point {
    int tick;     // ticks completed before it
    int wait = 0; // > 0: inside a blocking identification, after that many waits
};

struct WayOut {
    const char* name;
    std::function<bool(KeyEngine&)> apply; // false: it does not exist here
};

const std::vector<WayOut>& CommonWays()
{
    static const std::vector<WayOut> ways{
        {"Cancel", [](KeyEngine& e) { e.Cancel(); return true; }},
        {"window closing", [](KeyEngine& e) { e.Close(); return true; }},
        {"SIGTERM", [](KeyEngine& e) { e.ReleaseLines(); return true; }},
    };
    return ways;
}

class SafetyMatrix : public EngineTest, public testing::WithParamInterface<int> {
protected:
    struct Scenario {
        const char* name;
        std::function<void(SafetyMatrix&)> start;
        std::vector<WayOut> ways;
    };

    std::string Situation(bool inWait) const
    {
        const KeyEngine& e = run_->engine;
        std::string s = StateName(e.R.TxState);
        if (inWait)
            s += "/blocking";
        if (e.R.TxLeadActive)
            s += "/lead";
        if (e.R.RxHoldTicks > 0)
            s += "/hold";
        if (e.R.TestKeyHeld)
            s += "/held";
        s += e.Lines().Key() ? "/key" : "";
        s += e.Lines().Ptt() ? "/ptt" : "";
        return s;
    }

    void Fresh(const Scenario& scenario, std::uint8_t wpm)
    {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        QskMode = 1;
        TxDelay = 300;
        RxDelay = 300;
        SyncPeriod = 1;
        StartId = {"ID", true, wpm};
        StopId = {"ID", true, wpm};
        RepeatCount = 2;
        RepeatInterval = 2;
        scenario.start(*this);
    }

    // The first point of every situation in a whole run (at most 12 minutes).
    std::map<std::string, Point> Probe(const Scenario& scenario, std::uint8_t wpm)
    {
        Fresh(scenario, wpm);
        std::map<std::string, Point> points;
        int ticks = 0, waits = 0;
        run_->clock.whileWaiting = [&] { points.try_emplace(Situation(true), Point{ticks, ++waits}); };
        while (!run_->engine.Display.CloseRequested && ticks < 12 * 600) {
            run_->Tick();
            ++ticks;
            points.try_emplace(Situation(false), Point{ticks, 0});
        }
        run_->clock.whileWaiting = nullptr; // it refers to this frame
        return points;
    }

    // A fresh run replayed up to `point`, where `action` runs; false if it never came.
    bool ReplayTo(const Scenario& scenario, std::uint8_t wpm, const Point& point, const std::function<void()>& action)
    {
        Fresh(scenario, wpm);
        int ticks = 0, waits = 0;
        bool applied = false;
        const auto apply = [&] {
            applied = true;
            action();
        };
        run_->clock.whileWaiting = [&] {
            if (!applied && ++waits == point.wait)
                apply();
        };
        while (!applied && ticks < point.tick + 1) {
            if (point.wait == 0 && ticks == point.tick)
                apply();
            else {
                run_->Tick();
                ++ticks;
            }
        }
        run_->clock.whileWaiting = nullptr; // it refers to this frame
        return applied;
    }

    // Replays up to `point`, applies `way`, runs ten minutes more; returns
    // whether the way out exists there.
    bool Apply(const Scenario& scenario, std::uint8_t wpm, const Point& point, const WayOut& way,
               const std::string& what)
    {
        bool exists = true;
        std::size_t stop = 0;
        EXPECT_TRUE(ReplayTo(scenario, wpm, point, [&] {
            stop = run_->events.size();
            exists = way.apply(run_->engine);
        })) << what;
        if (!exists)
            return false;
        TickFor(10 * kMinute);
        const LineCheck c = Check(stop);
        EXPECT_FALSE(c.onSince) << what;
        EXPECT_FALSE(c.keyAtEnd) << what;
        EXPECT_FALSE(c.pttAtEnd) << what;
        return true;
    }

    static std::vector<Scenario> Scenarios()
    {
        std::vector<WayOut> test = CommonWays();
        test.push_back({"Release key", [](KeyEngine& e) { e.ReleaseKey(); return true; }});
        std::vector<WayOut> testPtt = CommonWays();
        testPtt.push_back({"Release key, Release PTT", [](KeyEngine& e) {
                               e.ReleaseKey();
                               e.ReleasePtt();
                               return true;
                           }});
        testPtt.push_back({"Release PTT, Release key", [](KeyEngine& e) {
                               e.ReleasePtt();
                               e.ReleaseKey();
                               return true;
                           }});
        std::vector<WayOut> qso = CommonWays();
        qso.push_back({"RX", [](KeyEngine& e) {
                           if (!e.R.QsoTransmitting || !e.Display.TxVisible)
                               return false;
                           e.TxClick("");
                           return true;
                       }});
        return {
            {"start now", [](SafetyMatrix& m) { m.StartNow("A +T", At(10, 0, 30)); }, CommonWays()},
            {"start now, no synchronisation",
             [](SafetyMatrix& m) {
                 SyncPeriod = 0;
                 m.StartNow("A +T", At(10, 0, 30));
             },
             CommonWays()},
            {"start now, DFCW",
             [](SafetyMatrix& m) {
                 DfcwMode = true;
                 KeyGap = 500;
                 m.StartNow("TE", At(10, 0, 30));
             },
             CommonWays()},
            {"start later", [](SafetyMatrix& m) { m.StartLater("A +T", "100040", At(10, 0, 30)); }, CommonWays()},
            {"QSO",
             [](SafetyMatrix& m) {
                 RunKind = kRunQso;
                 m.run_->Start(At(10, 0, 30));
                 m.Engine().TxClick("A +T");
             },
             qso},
            {"test",
             [](SafetyMatrix& m) {
                 RepeatInterval = 1;
                 RunKind = kRunTest;
                 m.run_->Start(At(10, 0, 30));
                 m.Engine().PushKey();
             },
             test},
            {"test with PTT pushed",
             [](SafetyMatrix& m) {
                 RepeatInterval = 1;
                 RunKind = kRunTest;
                 m.run_->Start(At(10, 0, 30));
                 m.Engine().PushPtt();
                 m.Engine().PushKey();
             },
             testPtt},
        };
    }
};

TEST_P(SafetyMatrix, EveryWayOutLeavesKeyAndPttOff)
{
    const auto scenarios = Scenarios();
    const Scenario& scenario = scenarios[static_cast<std::size_t>(GetParam() / 2)];
    const std::uint8_t wpm = GetParam() % 2 == 0 ? 6 : 12;
    const auto points = Probe(scenario, wpm);
    // Every situation the run kind passes through was reached.
    EXPECT_GE(points.size(), 8u) << scenario.name;
    int cases = 0;
    for (const auto& [situation, point] : points)
        for (const WayOut& way : scenario.ways) {
            const std::string what = std::string(scenario.name) + " " + std::to_string(wpm) + " WPM, "
                + situation + ", " + way.name;
            if (Apply(scenario, wpm, point, way, what))
                ++cases;
        }
    std::printf("%s at %d WPM: %zu situations, %d cases\n", scenario.name, wpm, points.size(), cases);
    EXPECT_GT(cases, 0);
}

INSTANTIATE_TEST_SUITE_P(RunKinds, SafetyMatrix, testing::Range(0, 14));

// Clock steps in every situation: at the first point of each situation a run
// passes through, the local clock steps forward or back; the run then goes on
// by itself. It ends, with key and PTT off; the key is never down without PTT
// (QRSS) nor longer than a dash after a lead; and transmissions begin the
// repeat interval apart on the tick count (a synchronisation may add to it).
class ClockStepMatrix : public SafetyMatrix {
protected:
    void StepAt(const Scenario& scenario, std::uint8_t wpm, const Point& point, std::int64_t step,
                const std::string& what)
    {
        ASSERT_TRUE(ReplayTo(scenario, wpm, point, [&] { run_->Jump(step); })) << what;
        const std::uint32_t from = run_->clock.TickCount();
        const auto ended = [this] {
            return run_->engine.Display.CloseRequested || (RunKind == kRunQso && Engine().R.TxState == Idle);
        };
        while (!ended() && run_->clock.TickCount() - from < 2 * 60 * kMinute)
            run_->Tick();
        EXPECT_TRUE(ended()) << what;
        const LineCheck c = Check();
        EXPECT_FALSE(c.keyAtEnd) << what;
        EXPECT_FALSE(c.pttAtEnd) << what;
        if (RunKind != kRunTest) {
            EXPECT_TRUE(DfcwMode || c.keyWithoutPtt < 0) << what;
            EXPECT_LE(c.longestKeyDown, 3 * 1000 + 300 + 200) << what;
        }
        // Nor does a step delay them by more than a synchronisation cycle.
        const auto starts = TransmissionStarts();
        for (std::size_t i = 1; i < starts.size(); ++i) {
            EXPECT_GE(starts[i].mono - starts[i - 1].mono, RepeatInterval * kMinute) << what;
            EXPECT_LE(starts[i].mono - starts[i - 1].mono, (RepeatInterval + 2) * kMinute) << what;
        }
    }
};

TEST_P(ClockStepMatrix, EveryClockStepKeepsTheLinesAndTheInterval)
{
    const auto scenarios = Scenarios();
    const Scenario& scenario = scenarios[static_cast<std::size_t>(GetParam() / 2)];
    const std::uint8_t wpm = GetParam() % 2 == 0 ? 6 : 12;
    const auto points = Probe(scenario, wpm);
    EXPECT_GE(points.size(), 8u) << scenario.name;
    for (const auto& [situation, point] : points)
        for (const std::int64_t step : {60 * kMinute, -60 * kMinute, std::int64_t{90000}}) {
            StepAt(scenario, wpm, point, step,
                   std::string(scenario.name) + " " + std::to_string(wpm) + " WPM, " + situation + ", step "
                       + std::to_string(step / 1000) + " s");
        }
}

INSTANTIATE_TEST_SUITE_P(RunKinds, ClockStepMatrix, testing::Range(0, 14));
// Texts and identifications with lower case and characters without a Morse
// pattern between the marks, which the look-ahead of QSK and DFCW passes over.
class UnkeyableTextsMatrix : public SafetyMatrix {};

TEST_P(UnkeyableTextsMatrix, EveryWayOutLeavesKeyAndPttOff)
{
    const auto start = [this](std::uint8_t qsk, bool dfcw, const char* text) {
        return [this, qsk, dfcw, text](SafetyMatrix&) {
            QskMode = qsk;
            DfcwMode = dfcw;
            KeyGap = 500;
            StartId.Text = "i,\x01d";
            StopId.Text = ";id\xC9";
            StartNow(text, At(10, 0, 30));
        };
    };
    const std::vector<Scenario> scenarios{{"QSK between characters", start(2, false, "a,\x01+;t\xC9 e"), CommonWays()},
                                          {"QSK between words", start(3, false, "e:,a '+t"), CommonWays()},
                                          {"DFCW", start(0, true, ",t<e\x7f"), CommonWays()}};
    const Scenario& scenario = scenarios[static_cast<std::size_t>(GetParam() / 2)];
    const std::uint8_t wpm = GetParam() % 2 == 0 ? 6 : 12;
    int cases = 0;
    for (const auto& [situation, point] : Probe(scenario, wpm))
        for (const WayOut& way : scenario.ways)
            cases += Apply(scenario, wpm, point, way, scenario.name + (", " + situation) + ", " + way.name);
    EXPECT_GT(cases, 30) << scenario.name;
}

INSTANTIATE_TEST_SUITE_P(Texts, UnkeyableTextsMatrix, testing::Range(0, 6));

} // namespace
