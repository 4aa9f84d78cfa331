// Whether the system clock is synchronised, as the kernel's NTP state says
// (ntp_adjtime, read only: no privilege and no library needed). Every start
// on the minute grid hangs on this clock, and a board without a clock
// battery boots with a wrong one. Behind a seam so that tests can give
// either answer. UI thread only.
#pragma once

#include "clock.h"

#include <cstdint>
#include <functional>
#include <string>

struct ClockSyncState {
    bool synced = false;
    std::int64_t estErrorUs = 0; // the kernel's estimated error when synced
};

// The kernel's answer.
ClockSyncState KernelClockSync();

// The answer Vantrel goes by: the kernel's, unless a test put another in place.
ClockSyncState QueryClockSync();
// An empty function puts the kernel back.
void SetClockSyncSource(std::function<ClockSyncState()> source);

// The transmission log's field: "clock=synced,esterror=16000us" or "clock=unsynced".
std::string ClockSyncField(const ClockSyncState& state);

inline constexpr const char* kClockUnsyncedWarning =
    "the system clock is not synchronised: starts on the minute grid may be off";

// Asks once a second, sleeping on `clock`, until the clock is synchronised
// or `maxSeconds` have passed (a negative limit waits for ever). Returns the
// last answer.
ClockSyncState WaitForClockSync(Clock& clock, std::int32_t maxSeconds);
