#include "timeline.h"

#include "morse/morse.h"

#include <algorithm>

TimelineRun::TimelineRun() = default;

void TimelineRun::Start(std::int64_t msOfDay, std::int64_t day)
{
    clock.SetLocal(day, msOfDay);
    startAbs = clock.Abs();
    nextTick_ = (startAbs / 100 + 1) * 100; // the first tenth after the window is shown
    startTick_ = clock.TickCount();
    steps_.clear();
    engine.Prepare();
    lastState_ = engine.R.TxState;
    events.push_back({clock.Abs(), TimelineEvent::State, false, lastState_, 0, clock.TickCount()});
}

void TimelineRun::Jump(std::int64_t ms)
{
    events.push_back({clock.Abs(), TimelineEvent::Step, false, engine.R.TxState, 0, clock.TickCount(), ms});
    clock.Jump(ms);
    nextTick_ = (nextTick_ + ms + 99) / 100 * 100;
}

void TimelineRun::JumpAt(std::int64_t msOfDay, std::int64_t ms)
{
    const std::int64_t now = clock.Abs();
    std::int64_t at = now - ((now % keying::kDayMs) + keying::kDayMs) % keying::kDayMs + msOfDay;
    if (at < now)
        at += keying::kDayMs;
    steps_.insert(std::upper_bound(steps_.begin(), steps_.end(), std::make_pair(at, INT64_MAX)), {at, ms});
}

void TimelineRun::Tick(std::int32_t lateMs)
{
    // A step due by this tick comes first; the tick then falls on the new clock.
    while (!steps_.empty() && steps_.front().first <= nextTick_ + lateMs) {
        const auto [when, ms] = steps_.front();
        steps_.erase(steps_.begin());
        if (when > clock.Abs())
            clock.Advance(when - clock.Abs());
        Jump(ms);
    }
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
        events.push_back({clock.Abs(), TimelineEvent::State, false, lastState_, 0, clock.TickCount()});
    }
}

bool TimelineRun::Run(std::int64_t limitMs, const std::function<std::int32_t()>& lateness)
{
    // On the tick count, which a clock step does not move; unwrapped.
    std::int64_t elapsed = 0;
    std::uint32_t last = clock.TickCount();
    while (!engine.Display.CloseRequested) {
        elapsed += static_cast<std::uint32_t>(clock.TickCount() - last);
        last = clock.TickCount();
        if (elapsed >= limitMs)
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
    if (event.kind == TimelineEvent::Step) {
        const std::int64_t ms = event.step < 0 ? -event.step : event.step;
        std::string seconds = std::to_string(ms / 1000);
        if (ms % 1000 != 0) {
            char fraction[8];
            std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(ms % 1000));
            seconds += fraction;
            while (seconds.back() == '0')
                seconds.pop_back();
        }
        return time + " clock step " + (event.step < 0 ? '-' : '+') + seconds + " s";
    }
    return time + ' ' + kinds[event.kind] + (event.level ? " on" : " off");
}
