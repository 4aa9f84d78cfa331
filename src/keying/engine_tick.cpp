// The tick and the states of the key timer state machine.
#include "engine.h"

#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <cstdlib>

namespace keying {

void KeyEngine::KeyTimerTimer()
{
    Display.Clock = TimeOfDayText(clock_.Now());
    if (!R.KeyingActive)
        return;
    // A tick nested in a blocking identification (a pushed key in the test)
    // keeps the outer tick's tenth intact.
    const std::int64_t outerTenth = tickAbs_;
    tickAbs_ = TickTenth(RealNowAbs());
    CheckClockJump();
    WriteStatus();
    if (!R.StopClock.empty() && ClockPassed(TimeTextToSeconds(R.StopClock), R.StopClock))
        R.StopReached = true;
    const std::int64_t second = NowAbs() / 1000;
    Step();
    lastClockSecond_ = second;
    tickAbs_ = outerTenth;
}

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

// Instants are times of the local clock, so a step of that clock (daylight
// saving, a correction by the network) would shift every pending instant
// against the real time that has passed. The tick count does not step: a
// difference between the two beyond the tolerance is a clock step, and the
// engine is carried across it. Waits that run on the real time line (elements,
// pauses, repeat intervals, test intervals, the alarm) keep their distance;
// waits that belong to the clock (start time, synchronisation) are met on the
// new clock. Smaller steps (NTP slewing) act on the absolute time line.
void KeyEngine::CheckClockJump()
{
    const std::int64_t real = RealNowAbs(), now = NowAbs();
    const std::uint32_t tick = clock_.TickCount();
    const std::int64_t jump = real - (lastAbs_ + static_cast<std::uint32_t>(tick - lastTick_));
    lastAbs_ = real;
    lastTick_ = tick;
    if (std::llabs(jump) <= kJumpToleranceMs)
        return;
    if (alarmAbs_ != INT64_MAX) {
        alarmAbs_ += jump;
        R.AlarmInstant = static_cast<std::int32_t>(((alarmAbs_ % kDayMs) + kDayMs) % kDayMs);
    }
    R.ExpectedEnd += static_cast<double>(jump) / kDayMs;
    pttOnAbs_ += jump;
    switch (R.TxState) {
    case WaitStart:
        break;
    case WaitSyncLead:
        R.TxState = PlanSync; // planned again on the new clock on this tick
        StepPlanSync();
        break;
    case WaitBoundary: {
        // The boundary is a time of the clock. One that the step jumped over
        // is met at once, as a start time is, and the message's time line
        // starts then; the next one on the new clock is waited for when it
        // lies within the lead. After any other move PTT would stay on for
        // longer than the lead, so the synchronisation is planned afresh
        // with PTT off. A wait at a "+" inside the message just takes the
        // next boundary.
        const std::int64_t remaining = nextEventAbs_ - now;
        if (jump > 0 && remaining <= 0 && -remaining < R.SyncPeriodMs / 2) {
            SetNextEventAbs(now); // the message's time line starts here
            break;
        }
        const std::int32_t next = RemainingMs(NextBoundary(R.SyncPeriodMs));
        if (plusSequence_ || next <= R.SyncLeadMs) {
            SetNextEventAbs(now + next);
        } else {
            Ptt(false);
            R.StartTicks = 10;
            R.TxState = PlanSync;
            StepPlanSync();
        }
        break;
    }
    case WaitRepeat:
        nextStartAbs_ += jump;
        R.NextStartSecond = static_cast<std::int32_t>(((nextStartAbs_ / 1000) % 86400 + 86400) % 86400);
        break;
    case TestIdWait:
        testNextIdAbs_ += jump;
        R.TestNextId = static_cast<std::int32_t>(((testNextIdAbs_ % kDayMs) + kDayMs) % kDayMs);
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

void KeyEngine::Ptt(bool on)
{
    const bool was = lines_.Ptt();
    lines_.SetPtt(on);
    if (on && !was && lines_.Ptt())
        pttOnAbs_ = NowAbs();
}

void KeyEngine::PttOnQrss()
{
    if (!DfcwMode)
        Ptt(true);
}

// QRSS with QSK: PTT may be off when a start sequence keys (after a "+", or a
// repeat), so it goes on here and the keying waits until it has been on for
// the TX delay. Without QSK PTT is on for the whole message.
bool KeyEngine::PttReadyForKeying()
{
    if (DfcwMode || EffectiveQskMode() == 0)
        return true;
    R.RxHoldTicks = 0; // a release still counting would drop PTT under the keying
    R.TxLeadActive = false;
    R.TxLeadTicks = 0;
    if (!lines_.Ptt())
        Ptt(true);
    return NowAbs() - pttOnAbs_ >= HeldDelay(TxDelay);
}

void KeyEngine::Step()
{
    switch (R.TxState) {
    case Idle: break;
    case WaitStart: StepWaitStart(); break;
    case PlanSync: StepPlanSync(); break;
    case WaitSyncLead:
        Display.StatusVisible = true;
        if (NextEventDue()) {
            PttOnQrss();
            R.TxState = Arm;
        }
        break;
    case Arm: {
        if (DfcwMode)
            PresetDfcw(FirstElementAt(NextSentIndex(0)));
        Display.StatusVisible = Display.GrayVisible = Display.BlueVisible = Display.BlackVisible = true;
        R.TxState = Starting;
        break;
    }
    case Starting:
        if (R.StartTicks == 0)
            R.TxState = BeginSequence;
        else
            --R.StartTicks;
        break;
    case BeginSequence: StepBeginSequence(); break;
    case WaitBoundary: StepWaitBoundary(); break;
    case Sending: StepSending(); break;
    case EndSequence: StepEndSequence(); break;
    case SendingId: StepSendingId(); break;
    case WaitRepeat: StepWaitRepeat(); break;
    case Stopping: StepStopping(); break;
    case TestIdPlan:
        R.TestIdIntervalMs = RepeatInterval * 60000;
        testNextIdAbs_ = NowAbs() + R.TestIdIntervalMs;
        R.TestNextId = AddMs(MsOfDay(), R.TestIdIntervalMs);
        R.TxState = TestIdWait;
        break;
    case TestIdWait: StepTestIdWait(); break;
    default: break;
    }
    if (Observer != nullptr)
        Observer->Ticked(*this);
}

void KeyEngine::StepWaitStart()
{
    if (!ClockPassed(TimeTextToSeconds(R.StartClock), R.StartClock))
        return;
    R.CharPos = 1;
    R.Pattern.clear();
    R.StartedAt = TimeOfDayText(NowDays());
    // The repeat grid starts at the start time itself, also when a late tick met it.
    const std::int64_t nowSecond = NowAbs() / 1000;
    const std::int64_t late = ((nowSecond - TimeTextToSeconds(R.StartClock)) % 86400 + 86400) % 86400;
    nextStartAbs_ = (nowSecond - late) * 1000;
    R.CurrentKeyGap = KeyGap;
    SetSlots(RunKind == kRunQso ? R.CurrentDot : HeldDot());
    R.TxState = PlanSync;
    R.StartTicks = 10;
    if (RunKind == kRunQso) {
        const std::string text = TrimSpaces(R.Message);
        Display.Gray = text + ' ';
        R.MessageSeconds = TextDuration(text, R.CurrentDot, HeldKeyGap(), 0);
        Display.Black.clear();
        WriteTitle(Title::QsoStarted);
    } else {
        WriteTitle(Title::StartedLater);
    }
    ArmAlarm();
}

void KeyEngine::StepPlanSync()
{
    R.SyncPeriodMs = SyncPeriodMsOf(EffectiveSyncPeriod());
    if (R.SyncPeriodMs == 0) {
        PttOnQrss();
        R.TxState = Arm;
        return;
    }
    R.SyncLeadMs = StartId.Enabled ? (TextDuration(StartId.Text, 0, 0, StartId.Wpm) + 5) * 1200 : 2000;
    const std::int64_t now = NowAbs();
    std::int64_t lead = now + RemainingMs(NextBoundary(R.SyncPeriodMs)) - R.SyncLeadMs;
    // The first boundary whose lead instant has not been reached yet.
    while (lead <= now)
        lead += R.SyncPeriodMs;
    SetNextEventAbs(lead);
    R.TxState = WaitSyncLead;
}

void KeyEngine::StepBeginSequence()
{
    plusSequence_ = fromPlus_;
    R.SendingStopId = false;
    R.SendingStartId = StartId.Enabled;
    if (R.SendingStartId) {
        if (!PttReadyForKeying())
            return;
        BeginId(false);
    } else if (EffectiveSyncPeriod() != 0) {
        EnterWaitBoundary();
    } else if (fromPlus_ && NextEventRemaining() > 0) {
        // At a "+" the space before it may still be running: the message
        // goes on on its time line rather than cutting that space short, and
        // a PTT that QSK released is led in before the mark after the "+".
        if (!DfcwMode && R.TxLeadTicks > 0 && !R.TxLeadActive && PeekNextElement() != ' ')
            StartLead();
        R.TxState = Sending;
    } else {
        if (!PttReadyForKeying())
            return;
        SetNextEventAbs(NowAbs());
        R.TxState = Sending;
    }
    fromPlus_ = false;
}

void KeyEngine::EnterWaitBoundary()
{
    SetNextEventAbs(NowAbs() + RemainingMs(NextBoundary(R.SyncPeriodMs)));
    R.TxState = WaitBoundary;
    // QSK: during a wait at a "+" the transmitter listens, after the RX delay.
    if (plusSequence_ && !DfcwMode && EffectiveQskMode() != 0) {
        R.TxLeadActive = false;
        R.TxLeadTicks = 0;
        if (lines_.Ptt() && R.RxHoldTicks == 0)
            R.RxHoldTicks = static_cast<std::uint8_t>(HeldDelay(RxDelay) / 100 + 1);
    }
}

void KeyEngine::StepWaitBoundary()
{
    if (plusSequence_ && !DfcwMode && EffectiveQskMode() != 0) {
        // PTT is led in the TX delay before the boundary.
        if (NextEventRemaining() <= HeldDelay(TxDelay)) {
            R.RxHoldTicks = 0;
            if (!lines_.Ptt())
                Ptt(true);
        } else {
            PttRelease();
        }
    }
    if (!NextEventDue())
        return;
    if (!PttReadyForKeying()) {
        // PTT came on less than the TX delay before the boundary: the time line
        // starts when the delay has passed, so that no mark is cut short.
        SetNextEventAbs(NowAbs() + 100);
        return;
    }
    if (RunKind == kRunTransmit) {
        R.NextStartSecond = TimeTextToSeconds(TimeOfDayText(NowDays()));
        nextStartAbs_ = NowAbs() / 1000 * 1000;
    }
    plusSequence_ = false;
    R.TxState = Sending;
}

void KeyEngine::BeginId(bool stop)
{
    R.IdPattern.clear();
    R.IdPos = 1;
    R.IdText = Short(PreparedText(stop ? StopId.Text : StartId.Text));
    R.IdCountdown = 0;
    R.IdLeadTicks = 10;
    idSent_ = false;
    if (stop)
        PttOnQrss();
    R.TxState = SendingId;
}

void KeyEngine::StepEndSequence()
{
    if (R.StopReached)
        R.RepeatPending = false;
    R.SendingStartId = false;
    R.SendingStopId = StopId.Enabled;
    if (R.SendingStopId)
        BeginId(true);
    else
        Finish();
}

void KeyEngine::StepSendingId()
{
    if (R.SendingStopId && R.IdLeadTicks > 0) {
        --R.IdLeadTicks;
        return;
    }
    const std::uint8_t wpm = StartId.Wpm;
    if (wpm > 6) {
        if (!idSent_) {
            R.KeyingActive = false;
            SendIdBlocking(wpm, R.IdText);
            idSent_ = true;
            // The ticks during the wait only refreshed the clock: this step
            // ends in the tenth the identification ended in.
            tickAbs_ = TickTenth(RealNowAbs());
            if (stopAsked_) {
                StopAsked();
                return;
            }
            // The stop time may have passed during the seconds this took; it
            // counts now, as it would have on the ticks of a 6 WPM identification.
            if (!R.StopClock.empty() && ClockPassed(TimeTextToSeconds(R.StopClock), R.StopClock))
                R.StopReached = true;
        }
    } else if (!IdTickStep()) {
        return;
    }
    if (R.SendingStartId) {
        if (EffectiveSyncPeriod() == 0) {
            if (R.IdLeadTicks > 0)
                --R.IdLeadTicks;
            if (R.IdLeadTicks == 0) {
                R.SendingStartId = false;
                SetNextEventAbs(NowAbs());
                R.TxState = Sending;
            }
        } else {
            R.SendingStartId = false;
            EnterWaitBoundary();
        }
    } else if (R.SendingStopId) {
        R.SendingStopId = false;
        if (R.TestKeyHeld) {
            lines_.SetKey(true);
            R.TxState = TestIdPlan;
        } else {
            Finish();
        }
    }
    if (R.StopReached)
        R.TxState = Stopping;
    if (wpm > 6)
        R.KeyingActive = true;
}

// RX, Cancel or the window closing came during a blocking identification:
// whatever the identification would have led to, the run stops.
void KeyEngine::StopAsked()
{
    R.SendingStartId = R.SendingStopId = false;
    R.TxState = Stopping;
    R.KeyingActive = true;
}

void KeyEngine::Finish()
{
    if (R.RepeatPending && R.IntervalMinutes > 0) {
        Ptt(false);
        R.TxState = WaitRepeat;
    } else {
        SetNextEventAbs(NowAbs());
        R.TxState = Stopping;
    }
}

void KeyEngine::StepWaitRepeat()
{
    // The repeat instant may lie up to 255 minutes ahead (an interval edited
    // into the settings file): it is held on its absolute time like NextEvent.
    const bool due = RepeatInterval == 0
        || (nextStartAbs_ - NowAbs() < kReachWindowMs && Reached(R.NextStartSecond * 1000));
    if (!due)
        return;
    R.Message = R.MessageCopy;
    R.AtLastElement = R.AtLastChar = false;
    R.Pattern.clear();
    if (EffectiveSyncPeriod() != 0) {
        R.TxState = PlanSync;
    } else {
        PttOnQrss();
        R.TxState = BeginSequence;
    }
}

void KeyEngine::StepStopping()
{
    Ptt(false);
    lines_.Stop(false);
    R.KeyingActive = false;
    if (RunKind != kRunQso) {
        R.CloseAllowed = true;
        Display.CloseRequested = true;
        return;
    }
    R.TxState = Idle;
    R.QsoTransmitting = false;
    StartTime.clear();
    Display.Gray.clear();
    R.MessageSeconds = 0;
    Display.TxCaption = "TX";
    Display.TxVisible = true;
    Display.StatusVisible = Display.GrayVisible = Display.BlueVisible = Display.BlackVisible = false;
    WriteTitle(Title::Qso);
    Display.StartMenuEnabled = true;
    Display.EditVisible = true;
}

void KeyEngine::StepTestIdWait()
{
    if (testNextIdAbs_ - NowAbs() >= kReachWindowMs || !Reached(R.TestNextId))
        return;
    if (R.TestIdsLeft > 0 && --R.TestIdsLeft == 0) {
        R.TestKeyHeld = false;
        lines_.SetKey(false);
        if (SidetoneOn)
            Sound(0);
    }
    lines_.SetKey(false);
    R.TxState = EndSequence;
}

} // namespace keying
