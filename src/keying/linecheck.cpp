#include "linecheck.h"

#include <algorithm>

namespace {

void Keep(std::int64_t& shortest, std::int64_t value)
{
    if (shortest < 0 || value < shortest)
        shortest = value;
}

} // namespace

LineCheck CheckLines(const std::vector<TimelineEvent>& events, std::int64_t end, std::size_t sinceEvent)
{
    LineCheck c;
    bool key = false, ptt = false;
    // Durations on the tick count, which a clock step does not move.
    std::int64_t keyOn = 0, pttOn = 0, keyOff = -1;
    bool mark = false;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const TimelineEvent& e = events[i];
        if (e.kind == TimelineEvent::State || e.kind == TimelineEvent::Step)
            continue;
        if (e.level && i >= sinceEvent)
            c.onSince = true;
        if (e.kind == TimelineEvent::Dfcw) {
            c.dfcwAtEnd = e.level;
            continue;
        }
        if (e.kind == TimelineEvent::Key) {
            if (e.level && !key) {
                keyOn = e.mono;
                mark = e.state == keying::Sending;
                if (!ptt && c.keyWithoutPtt < 0)
                    c.keyWithoutPtt = e.at;
                if (ptt)
                    Keep(c.shortestTxLead, e.mono - pttOn);
            } else if (!e.level && key) {
                c.longestKeyDown = std::max(c.longestKeyDown, e.mono - keyOn);
                if (mark)
                    Keep(c.shortestMark, e.mono - keyOn);
                keyOff = e.mono;
            }
            key = e.level;
            continue;
        }
        if (e.level && !ptt) {
            pttOn = e.mono;
            ++c.pttPushes;
        } else if (!e.level && ptt && keyOff >= 0 && !key
                   && (e.state == keying::Sending || e.state == keying::WaitBoundary)) {
            Keep(c.shortestRxHold, e.mono - keyOff);
        }
        ptt = e.level;
        // A DFCW select shares its output with PTT: PTT off lowers it.
        if (!e.level)
            c.dfcwAtEnd = false;
    }
    if (key) {
        // `end` is local time: it is taken to the tick count from the last event.
        const TimelineEvent& last = events.back();
        c.longestKeyDown = std::max(c.longestKeyDown, last.mono + (end - last.at - last.step) - keyOn);
    }
    c.keyAtEnd = key;
    c.pttAtEnd = ptt;
    return c;
}

std::vector<TimelineEvent> TransmissionStarts(const std::vector<TimelineEvent>& events)
{
    std::vector<TimelineEvent> starts;
    std::uint8_t previous = 255;
    for (const TimelineEvent& e : events) {
        if (e.kind != TimelineEvent::State)
            continue;
        if ((previous == 255 && e.state == keying::PlanSync)
            || ((previous == keying::WaitStart || previous == keying::WaitRepeat) && e.state != keying::Stopping))
            starts.push_back(e);
        previous = e.state;
    }
    return starts;
}
