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
    std::int64_t keyOn = 0, pttOn = 0, keyOff = -1;
    bool mark = false;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const TimelineEvent& e = events[i];
        if (e.kind == TimelineEvent::State)
            continue;
        if (e.level && i >= sinceEvent)
            c.onSince = true;
        if (e.kind == TimelineEvent::Dfcw) {
            c.dfcwAtEnd = e.level;
            continue;
        }
        if (e.kind == TimelineEvent::Key) {
            if (e.level && !key) {
                keyOn = e.at;
                mark = e.state == keying::Sending;
                if (!ptt && c.keyWithoutPtt < 0)
                    c.keyWithoutPtt = e.at;
                if (ptt)
                    Keep(c.shortestTxLead, e.at - pttOn);
            } else if (!e.level && key) {
                c.longestKeyDown = std::max(c.longestKeyDown, e.at - keyOn);
                if (mark)
                    Keep(c.shortestMark, e.at - keyOn);
                keyOff = e.at;
            }
            key = e.level;
            continue;
        }
        if (e.level && !ptt) {
            pttOn = e.at;
            ++c.pttPushes;
        } else if (!e.level && ptt && keyOff >= 0 && !key
                   && (e.state == keying::Sending || e.state == keying::WaitBoundary)) {
            Keep(c.shortestRxHold, e.at - keyOff);
        }
        ptt = e.level;
        // A DFCW select shares its output with PTT: PTT off lowers it.
        if (!e.level)
            c.dfcwAtEnd = false;
    }
    if (key)
        c.longestKeyDown = std::max(c.longestKeyDown, end - keyOn);
    c.keyAtEnd = key;
    c.pttAtEnd = ptt;
    return c;
}
