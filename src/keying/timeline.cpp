#include "timeline.h"

#include "morse/morse.h"

TimelineRun::TimelineRun() = default;

void TimelineRun::Start(std::int64_t msOfDay, std::int64_t day)
{
    clock.SetLocal(day, msOfDay);
    startAbs = clock.Abs();
    nextTick_ = (startAbs / 100 + 1) * 100; // the first tenth after the window is shown
    engine.Prepare();
    lastState_ = engine.R.TxState;
    events.push_back({clock.Abs(), TimelineEvent::State, false, lastState_});
}

void TimelineRun::Tick(std::int32_t lateMs)
{
    const std::int64_t at = nextTick_ + lateMs;
    if (at > clock.Abs())
        clock.Advance(at - clock.Abs());
    while (nextTick_ <= clock.Abs())
        nextTick_ += 100;
    lastTickAt = clock.Abs();
    // The window stops its timer when the engine asks (test mode).
    if (!engine.KeyTimerEnabled)
        return;
    const std::size_t first = events.size();
    const std::uint8_t state = engine.R.TxState;
    const std::int64_t due = engine.NextEventAbs();
    clock.dispatched = false;
    engine.KeyTimerTimer();
    if (clock.dispatched)
        while (nextTick_ <= clock.Abs())
            nextTick_ += 100;
    for (std::size_t i = first; i < events.size(); ++i) {
        events[i].state = state;
        events[i].due = due;
    }
    if (engine.R.TxState != lastState_) {
        lastState_ = engine.R.TxState;
        events.push_back({clock.Abs(), TimelineEvent::State, false, lastState_});
    }
}

bool TimelineRun::Run(std::int64_t limitMs, const std::function<std::int32_t()>& lateness)
{
    const std::int64_t end = clock.Abs() + limitMs;
    while (!engine.Display.CloseRequested) {
        if (clock.Abs() >= end)
            return false;
        Tick(lateness ? lateness() : 0);
    }
    return true;
}

std::string FormatTimelineEvent(const TimelineEvent& event)
{
    const std::string time = ClockTextMs(event.at);
    static constexpr const char* kinds[] = {"key", "ptt", "dfcw"};
    if (event.kind == TimelineEvent::State)
        return time + " state " + keying::StateName(event.state);
    return time + ' ' + kinds[event.kind] + (event.level ? " on" : " off");
}
