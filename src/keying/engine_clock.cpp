// The engine against the clock. Instants are times of the local clock, which
// steps (daylight saving, a correction by the network); the tick count does
// not. A difference between the two beyond the tolerance is a clock step, and
// the engine is carried across it: waits that run on the real time line
// (elements, pauses, the alarm, test intervals) keep their distance; the
// repeat schedule is held on the tick count and shown on the new clock; the
// start time and synchronisation belong to the clock and are met on the new
// one, where a synchronisation slot that the step met or jumped over is kept.
// Smaller steps (NTP slewing) act on the absolute time line.
#include "engine.h"

#include "morse/morse.h"
#include "settings/settings.h"

#include <algorithm>
#include <cstdlib>

namespace keying {

namespace {

std::int32_t SecondOfDay(std::int64_t abs) { return static_cast<std::int32_t>((abs / 1000 % 86400 + 86400) % 86400); }

} // namespace

// A start or stop time is met when the clock text equals it, or when the clock
// has passed it since the previous tick (across midnight, and forward across
// a clock step), so that a late tick cannot miss it for a day. With regular
// ticks this is the same as the equality.
bool KeyEngine::ClockPassed(std::int32_t secondOfDay, const std::string& clockText)
{
    if (TimeOfDayText(NowDays()) == clockText)
        return true;
    if (lastClockSecond_ < 0)
        return false;
    const std::int64_t elapsed = NowAbs() / 1000 - lastClockSecond_;
    if (elapsed <= 0)
        return false;
    if (elapsed >= 86400)
        return true;
    const std::int64_t ahead = ((secondOfDay - lastClockSecond_ % 86400) % 86400 + 86400) % 86400;
    return ahead > 0 && ahead <= elapsed;
}

void KeyEngine::CheckClockJump()
{
    const std::int64_t real = RealNowAbs(), now = NowAbs();
    const std::uint32_t tick = clock_.TickCount();
    const std::uint32_t elapsed = tick - lastTick_;
    const std::int64_t jump = real - (lastAbs_ + elapsed);
    mono_ += elapsed;
    lastAbs_ = real;
    lastTick_ = tick;
    stepped_ = std::llabs(jump) > kJumpToleranceMs;
    if (!stepped_)
        return;
    if (alarmAbs_ != INT64_MAX) {
        alarmAbs_ += jump;
        R.AlarmInstant = static_cast<std::int32_t>(((alarmAbs_ % kDayMs) + kDayMs) % kDayMs);
    }
    R.ExpectedEnd += static_cast<double>(jump) / kDayMs;
    pttOnAbs_ += jump;
    if (R.TxState != WaitStart && R.TxState != Idle) {
        nextStartAbs_ += jump;
        R.NextStartSecond = SecondOfDay(nextStartAbs_);
    }
    switch (R.TxState) {
    case WaitStart:
    case WaitRepeat:
        break;
    case WaitSyncLead: StepDuringSyncLead(jump, now); break;
    case WaitBoundary: StepDuringBoundaryWait(jump, now); break;
    case TestIdWait:
        testNextIdAbs_ += jump;
        R.TestNextId = static_cast<std::int32_t>(((testNextIdAbs_ % kDayMs) + kDayMs) % kDayMs);
        break;
    case Arm:
    case Starting:
    case BeginSequence:
    case SendingId:
        StepDuringStartSequence(jump, now);
        AdvanceNextEvent(jump);
        break;
    default:
        AdvanceNextEvent(jump);
        break;
    }
    // A step of up to half a day (daylight saving) passes the start and stop
    // times it skips; a larger one is a clock being set, and counts from the
    // new time only.
    if (std::llabs(jump) > kDayMs / 2)
        lastClockSecond_ = now / 1000;
}

// The tick count unwrapped, in ms; inside a tick it stands for the same tenth
// as the tick's local time.
std::int64_t KeyEngine::MonoNow()
{
    return mono_ + static_cast<std::uint32_t>(clock_.TickCount() - lastTick_) - (RealNowAbs() - NowAbs());
}

std::int64_t KeyEngine::MonoSincePreviousTick() { return MonoNow() - previousTickMono_; }

// A transmission begins (or, with synchronisation, its message begins at a
// boundary): the schedule is anchored at nextStartAbs_, the instant it was
// due, when that passed no longer ago than `maxLateMs` (a late tick), else at
// the tick itself (a clock step jumped over it). On the tick count no two
// transmissions begin closer than the repeat interval, whatever the clock did.
// Unless the anchor moves, the schedule stays exactly where it was.
void KeyEngine::NoteStart(bool newTransmission, std::int64_t maxLateMs)
{
    const std::int64_t mono = MonoNow(), now = NowAbs();
    const std::int64_t late = now - nextStartAbs_;
    std::int64_t at = mono - std::clamp<std::int64_t>(late, 0, std::max<std::int64_t>(maxLateMs, 0));
    if (newTransmission)
        previousStartMono_ = startMono_;
    if (previousStartMono_ != kNoStart && RepeatInterval != 0) {
        const std::int64_t earliest = previousStartMono_ + std::int64_t{R.IntervalMinutes} * 60000;
        if (at < earliest - kMonoToleranceMs)
            at = std::min(earliest, mono);
    }
    startMono_ = at;
    if (at != mono - late)
        nextStartAbs_ = now - (mono - at);
    R.NextStartSecond = SecondOfDay(nextStartAbs_);
}

bool KeyEngine::RepeatIntervalPassed()
{
    return startMono_ == kNoStart
        || MonoNow() - startMono_ >= std::int64_t{R.IntervalMinutes} * 60000 - kMonoToleranceMs;
}

// Milliseconds from `abs` to the next synchronisation boundary; 0 on one.
std::int64_t KeyEngine::ToNextBoundary(std::int64_t abs) const
{
    const std::int64_t p = R.SyncPeriodMs;
    return (p - abs % p) % p;
}

// Waiting for the lead: a clock that lands on a boundary or within the lead
// before one starts the sequence now; one that jumped over the boundary
// waited for keeps that slot (unless its moment is a boundary of the new
// clock, which is then the same slot); otherwise the synchronisation is
// planned again on the new clock.
void KeyEngine::StepDuringSyncLead(std::int64_t jump, std::int64_t now)
{
    const std::int64_t slot = nextEventAbs_ + R.SyncLeadMs;
    const std::int64_t next = ToNextBoundary(now);
    if (next <= R.SyncLeadMs) {
        slotAbs_ = now + next;
        slotKept_ = next == 0;
        SetNextEventAbs(now);
    } else if (jump > 0 && slot <= now && ToNextBoundary(slot + jump) != 0) {
        slotAbs_ = slot;
        slotKept_ = true;
        SetNextEventAbs(now);
    } else {
        R.TxState = PlanSync; // planned again on the new clock on this tick
        StepPlanSync();
    }
}

// Waiting for the boundary with PTT on: the slot is met now when its moment
// has come or the clock landed on a boundary; a boundary of the new clock
// within the lead is waited for (after a step of whole periods it is the same
// slot); a boundary waited for that the clock jumped over is met now. After
// any other move PTT would stay on for longer than the lead, so the
// synchronisation is planned afresh with PTT off. A wait at a "+" inside the
// message just takes the next boundary.
void KeyEngine::StepDuringBoundaryWait(std::int64_t jump, std::int64_t now)
{
    const std::int64_t slot = nextEventAbs_;
    const std::int64_t next = ToNextBoundary(now);
    if (slot + jump <= now || next == 0)
        SetNextEventAbs(now); // the message's time line starts here
    else if (next <= R.SyncLeadMs)
        SetNextEventAbs(now + next);
    else if (jump > 0 && slot <= now)
        SetNextEventAbs(now);
    else if (plusSequence_)
        SetNextEventAbs(now + next);
    else
        ReplanWithPttOff();
}

// During the start sequence before a boundary: a step that lands on a
// boundary, or jumps over the one aimed at, keeps the slot; otherwise the
// slot moves with the real time (see StepMovedTheSlot).
void KeyEngine::StepDuringStartSequence(std::int64_t jump, std::int64_t now)
{
    if (slotAbs_ < 0 || slotKept_ || plusSequence_ || R.SendingStopId)
        return;
    const std::int64_t slot = slotAbs_;
    slotAbs_ = slot + jump;
    const bool jumpedOver = jump > 0 && slot > now - jump && slot <= now && ToNextBoundary(slotAbs_) != 0;
    slotKept_ = ToNextBoundary(now) == 0 || jumpedOver;
}

// The start sequence has run and the boundary is due. A step during it that
// moved its slot off the boundaries leaves the next boundary further than the
// lead: rather than hold PTT on until then, the synchronisation is planned
// afresh with PTT off. True when it was.
bool KeyEngine::StepMovedTheSlot()
{
    if (slotAbs_ < 0 || ToNextBoundary(slotAbs_) == 0 || NextEventRemaining() <= R.SyncLeadMs)
        return false;
    ReplanWithPttOff();
    return true;
}

void KeyEngine::ReplanWithPttOff()
{
    Ptt(false);
    R.StartTicks = 10;
    R.TxState = PlanSync;
    StepPlanSync();
}

// Once the stop time has passed nothing new begins, neither a message nor an
// identification: the states between them stop here. A message on the air,
// with the start sequence at a "+" inside it, and an identification on the
// air are completed.
bool KeyEngine::StopTimeEndsHere() const
{
    switch (R.TxState) {
    case PlanSync:
    case WaitSyncLead:
    case Arm:
    case Starting:
    case EndSequence:
    case WaitRepeat:
        return true;
    case BeginSequence: return !fromPlus_;
    case WaitBoundary: return !plusSequence_;
    default: return false;
    }
}

} // namespace keying
