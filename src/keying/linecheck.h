// Safety checks on a recorded line timeline: what the tests, the settings
// fuzz target and the timeline tool's users assert about a transmission.
#pragma once

#include "timeline.h"

#include <cstdint>
#include <vector>

struct LineCheck {
    // Instant of the first key-down while PTT is off; -1 if none.
    std::int64_t keyWithoutPtt = -1;
    // The shortest time from PTT on to a key-down while it stays on; -1 if no key-down.
    std::int64_t shortestTxLead = -1;
    // The shortest time from a key-up to a PTT release made by QSK (in the
    // Sending or WaitBoundary states); -1 if none.
    std::int64_t shortestRxHold = -1;
    // The longest key-down (an unreleased key counts to the end); 0 if none.
    std::int64_t longestKeyDown = 0;
    // The shortest key-down begun in the Sending state (a mark of the
    // message, not of an identification); -1 if none.
    std::int64_t shortestMark = -1;
    // PTT pushes (off to on).
    int pttPushes = 0;
    // Key, PTT and DFCW select as the timeline leaves them.
    bool keyAtEnd = false, pttAtEnd = false, dfcwAtEnd = false;
    // Key, PTT or a DFCW select switched on in events from `sinceEvent` on.
    bool onSince = false;
};

// Durations are measured on the tick count, so a clock step does not
// lengthen or shorten them. `end`: the end of the recording (local time, with
// no clock step after the last event); `sinceEvent`: the index of the first
// event after a stop, from which on nothing may switch on.
LineCheck CheckLines(const std::vector<TimelineEvent>& events, std::int64_t end,
                     std::size_t sinceEvent = SIZE_MAX);

// The state events at which transmissions began: a start now, a start time
// met, a repeat due. Their `mono` is on the tick count.
std::vector<TimelineEvent> TransmissionStarts(const std::vector<TimelineEvent>& events);
