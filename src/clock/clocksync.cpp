#include "clocksync.h"

#include <sys/timex.h>

namespace {

std::function<ClockSyncState()>& Source()
{
    static std::function<ClockSyncState()> source;
    return source;
}

} // namespace

ClockSyncState KernelClockSync()
{
    timex tx{}; // modes 0: read only
    const int state = ::ntp_adjtime(&tx);
    // TIME_ERROR and STA_UNSYNC both say that nothing disciplines the clock;
    // a call that fails (a filter that forbids it) tells nothing either.
    if (state < 0 || state == TIME_ERROR || (tx.status & STA_UNSYNC) != 0)
        return {};
    return {true, static_cast<std::int64_t>(tx.esterror)};
}

ClockSyncState QueryClockSync() { return Source() ? Source()() : KernelClockSync(); }

void SetClockSyncSource(std::function<ClockSyncState()> source) { Source() = std::move(source); }

std::string ClockSyncField(const ClockSyncState& state)
{
    if (!state.synced)
        return "clock=unsynced";
    return "clock=synced,esterror=" + std::to_string(state.estErrorUs) + "us";
}

ClockSyncState WaitForClockSync(Clock& clock, std::int32_t maxSeconds)
{
    ClockSyncState state = QueryClockSync();
    for (std::int64_t waited = 0; !state.synced && (maxSeconds < 0 || waited < maxSeconds); ++waited) {
        clock.Sleep(1000);
        state = QueryClockSync();
    }
    return state;
}
