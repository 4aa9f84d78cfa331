// Building the transmit window's tone images: every sidetone key-down costs
// one build of the 10 s MyToneGen image. sox synthesising the same 10 s tone
// is timed alongside for a ratio.
#include "tonegen/tonegen.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

void BM_MyToneGen10s(benchmark::State& state)
{
    SilentPlayer player;
    TMyToneGen tone(player);
    tone.SetFrequency(800);
    tone.SetDuration(10000);
    for (auto _ : state) {
        tone.SetFrequency(800); // as the engine does before each Play
        benchmark::DoNotOptimize(tone.BuildImage(false));
    }
    state.SetItemsProcessed(state.iterations() * 960000);
}
BENCHMARK(BM_MyToneGen10s)->Unit(benchmark::kMillisecond);

void BM_FastToneGen1s(benchmark::State& state)
{
    SilentPlayer player;
    TToneGen tone(player);
    tone.SetFrequency(800);
    tone.SetDuration(1000);
    tone.SetAttack(20);
    tone.SetHold(60);
    tone.SetDecay(0);
    tone.SetRelease(20);
    for (auto _ : state) {
        tone.SetFrequency(800);
        benchmark::DoNotOptimize(tone.BuildImage(false));
    }
}
BENCHMARK(BM_FastToneGen1s)->Unit(benchmark::kMicrosecond);

// The same 10 s 800 Hz sine by sox, as a whole command (process start included).
void BM_Sox10s(benchmark::State& state)
{
    const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/vantrel-sox-bench.wav";
    const std::string command = "sox -n -r 96000 -b 16 -c 1 " + out + " synth 10 sine 800 2>/dev/null";
    if (std::system("command -v sox >/dev/null") != 0) {
        state.SkipWithError("sox is not installed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system(command.c_str()));
    std::remove(out.c_str());
}
BENCHMARK(BM_Sox10s)->Unit(benchmark::kMillisecond);

} // namespace
