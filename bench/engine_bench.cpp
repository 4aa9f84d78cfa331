// The keying engine's cost: one tick in each state a transmission dwells in,
// and how many simulated hours of a beacon the timeline runs per second.
#include "keying/timeline.h"
#include "settings/settings.h"

#include <benchmark/benchmark.h>

namespace {

using namespace keying;

// A run brought into `state` and held there (its waits are long).
struct Held {
    explicit Held(std::uint8_t state)
    {
        SetDefaultSettings();
        Texts[1] = "VVV DE AB1CD";
        DotLength = 600000; // ten-minute dots: Sending dwells between elements
        RunKind = kRunTransmit;
        StartImmediately = true;
        switch (state) {
        case WaitStart:
            StartImmediately = false;
            StartTime = "235959";
            break;
        case WaitSyncLead:
            SyncPeriod = 6;
            break;
        case WaitRepeat:
            DotLength = 1000;
            Texts[1] = "E";
            RepeatCount = 0;
            RepeatInterval = 99;
            break;
        default:
            break;
        }
        run.Start(60000);
        while (run.engine.R.TxState != state)
            run.Tick();
    }
    TimelineRun run;
};

void Tick(benchmark::State& bench, std::uint8_t state)
{
    // The clock stands still, so that the state holds for any number of
    // iterations; each tick still does all of its state's checks.
    Held held(state);
    for (auto _ : bench) {
        held.run.engine.KeyTimerTimer();
        benchmark::DoNotOptimize(held.run.engine.Display.Status);
    }
    if (held.run.engine.R.TxState != state)
        bench.SkipWithError("the state changed while measuring");
}

void BM_TickWaitStart(benchmark::State& s) { Tick(s, WaitStart); }
void BM_TickWaitSyncLead(benchmark::State& s) { Tick(s, WaitSyncLead); }
void BM_TickSending(benchmark::State& s) { Tick(s, Sending); }
void BM_TickWaitRepeat(benchmark::State& s) { Tick(s, WaitRepeat); }
BENCHMARK(BM_TickWaitStart);
BENCHMARK(BM_TickWaitSyncLead);
BENCHMARK(BM_TickSending);
BENCHMARK(BM_TickWaitRepeat);

// The idle tick of a window whose engine is not running: the clock only.
void BM_TickInactive(benchmark::State& bench)
{
    SetDefaultSettings();
    RunKind = kRunQso;
    TimelineRun run;
    run.Start(60000);
    for (auto _ : bench)
        run.engine.KeyTimerTimer();
}
BENCHMARK(BM_TickInactive);

// A whole endless beacon in simulated time: 24 hours per iteration.
void BM_TimelineDay(benchmark::State& bench)
{
    for (auto _ : bench) {
        SetDefaultSettings();
        Texts[1] = "VVV DE AB1CD";
        DotLength = 3000;
        RepeatCount = 0;
        RepeatInterval = 10;
        SyncPeriod = 3;
        StartId = {"VANTREL", true, 12};
        StopId = {"VANTREL", true, 12};
        RunKind = kRunTransmit;
        StartImmediately = true;
        TimelineRun run;
        run.Start(0);
        run.Run(24LL * 3600000);
        benchmark::DoNotOptimize(run.events.size());
    }
    bench.counters["sim_hours_per_s"] =
        benchmark::Counter(24.0 * static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TimelineDay)->Unit(benchmark::kMillisecond);

} // namespace
