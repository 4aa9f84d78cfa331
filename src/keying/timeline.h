// One transmission on the real engine in simulated time, tick by tick, with
// every line operation and state change recorded: the engine's oracle for
// the tests and the vantrel-timeline tool.
#pragma once

#include "engine.h"
#include "clock/simclock.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct TimelineEvent {
    enum Kind : std::uint8_t { Key, Ptt, Dfcw, State, Step };
    std::int64_t at;      // ms since 1899-12-30 00:00 local (SimClock::Abs)
    Kind kind;
    bool level;           // Key, Ptt, Dfcw
    std::uint8_t state;   // State: the new state; a line: the state of the tick that set it
    std::int64_t due = 0; // a line: NextEvent (absolute) before that tick
    std::int64_t mono = 0; // the tick count (ms), which a clock step does not move
    std::int64_t step = 0; // Step: how far the local clock stepped (ms); `at` is before it
};

class RecordingLines : public LineOutput {
public:
    explicit RecordingLines(SimClock& clock, std::vector<TimelineEvent>& events) : clock_(clock), events_(events) {}
    void SetKey(bool on) override { Record(TimelineEvent::Key, on); }
    void SetPtt(bool on) override { Record(TimelineEvent::Ptt, on); }
    void SetDfcw(bool level) override { Record(TimelineEvent::Dfcw, level); }
    bool PortIsOpen() const override { return portOpen; }
    bool portOpen = true;

private:
    void Record(TimelineEvent::Kind kind, bool level)
    {
        events_.push_back({clock_.Abs(), kind, level, 0, 0, clock_.TickCount()});
    }
    SimClock& clock_;
    std::vector<TimelineEvent>& events_;
};

// A tone output that records what the engine asks of it, as "play 800", "stop".
class RecordingTone : public ToneOutput {
public:
    void SetFrequency(double hz) override { hz_ = hz; }
    void SetLeftVolume(int percent) override { left = percent; }
    void SetRightVolume(int percent) override { right = percent; }
    void Prepare() override { Record("prepare"); }
    void Play() override { Record("play"); }
    void Stop() override { calls.emplace_back("stop"); }
    std::vector<std::string> calls;
    int left = -1, right = -1;

private:
    void Record(const char* what)
    {
        char text[48];
        std::snprintf(text, sizeof text, "%s %.1f", what, hz_);
        calls.emplace_back(text);
    }
    double hz_ = 0;
};

// Simulated time that notes a wait which keeps dispatching (a fast
// identification): the window's ticks during it only refresh the clock.
class TimelineClock : public SimClock {
public:
    void WaitMs(std::int32_t ms) override
    {
        SimClock::WaitMs(ms);
        dispatched = true;
        if (whileWaiting)
            whileWaiting();
    }
    bool dispatched = false;
    // Runs at the end of every such wait, as a click handled inside it would.
    std::function<void()> whileWaiting;
};

class TimelineRun {
public:
    TimelineRun();

    // Prepares the run kind and start kind that the settings globals say
    // (RunKind, StartImmediately), with the local clock at `day` + `msOfDay`.
    void Start(std::int64_t msOfDay, std::int64_t day = 46000);
    // One tick at the next tenth of the local clock plus `lateMs`, as the
    // window's timer fires just after each tenth. A tick that a plain sleep
    // (the alarm chirp) delayed comes once, at once; the ticks that fall
    // during a blocking identification only refresh the clock, and the
    // engine goes on at the first tenth after it.
    void Tick(std::int32_t lateMs = 0);
    // Ticks until the engine asks to close or `limitMs` of simulated time
    // have passed; returns whether it closed.
    bool Run(std::int64_t limitMs, const std::function<std::int32_t()>& lateness = {});
    // Steps the local clock by `ms` now (the tick count does not move); the
    // ticks go on at the new clock's tenths. Recorded as a Step event.
    void Jump(std::int64_t ms);
    // Steps the local clock by `ms` when it first reaches `msOfDay` after now
    // (at once when another step carried it past that instant).
    void JumpAt(std::int64_t msOfDay, std::int64_t ms);
    // Simulated time since Start on the tick count (clock steps left out).
    std::int64_t Elapsed() { return static_cast<std::uint32_t>(clock.TickCount() - startTick_); }

    TimelineClock clock;
    // When the last tick came (before whatever it waited for).
    std::int64_t lastTickAt = 0;
    std::vector<TimelineEvent> events;
    RecordingLines lines{clock, events};
    RecordingTone myTone, fastTone;
    keying::KeyEngine engine{clock, lines, myTone, fastTone};
    std::int64_t startAbs = 0;

private:
    std::int64_t nextTick_ = 0;
    std::uint8_t lastState_ = 255;
    std::uint32_t startTick_ = 0;
    // Pending steps: (absolute local time, ms), earliest first.
    std::vector<std::pair<std::int64_t, std::int64_t>> steps_;
};

// "HH:MM:SS.mmm key on", "HH:MM:SS.mmm state Sending", "HH:MM:SS.mmm clock step +3600 s", ...
std::string FormatTimelineEvent(const TimelineEvent& event);
