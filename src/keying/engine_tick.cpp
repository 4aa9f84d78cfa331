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
    // The stop time counts from the start on: one that passes while a later
    // start waits is the next day's.
    if (R.TxState != WaitStart && !R.StopClock.empty() && ClockPassed(TimeTextToSeconds(R.StopClock), R.StopClock))
        R.StopReached = true;
    const std::int64_t second = NowAbs() / 1000;
    Step();
    lastClockSecond_ = second;
    previousTickMono_ = MonoNow();
    tickAbs_ = outerTenth;
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
    if (R.StopReached && StopTimeEndsHere())
        R.TxState = Stopping;
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
    // The repeat grid starts at the start time itself when a late tick met
    // it, and at this tick when a clock step jumped over it.
    const std::int64_t nowSecond = NowAbs() / 1000;
    const std::int64_t late = ((nowSecond - TimeTextToSeconds(R.StartClock)) % 86400 + 86400) % 86400;
    nextStartAbs_ = (nowSecond - late) * 1000;
    NoteStart(true, stepped_ ? 0 : MonoSincePreviousTick());
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
    slotAbs_ = -1;
    slotKept_ = false;
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
    slotAbs_ = lead + R.SyncLeadMs;
    R.TxState = WaitSyncLead;
}

void KeyEngine::StepBeginSequence()
{
    plusSequence_ = fromPlus_;
    R.SendingStopId = false;
    // No identification begins after the stop time, not even at a "+".
    R.SendingStartId = StartId.Enabled && !R.StopReached;
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
    const bool kept = slotKept_ && !plusSequence_;
    SetNextEventAbs(NowAbs() + (kept ? 0 : RemainingMs(NextBoundary(R.SyncPeriodMs))));
    R.TxState = WaitBoundary;
    if (!plusSequence_ && !kept && StepMovedTheSlot())
        return;
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
        nextStartAbs_ = NowAbs() / 1000 * 1000;
        NoteStart(false, MonoSincePreviousTick());
    }
    plusSequence_ = false;
    slotAbs_ = -1;
    slotKept_ = false;
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
    // After the stop time the message that an identification at a "+" interrupted goes on.
    const bool inMessage = R.SendingStartId && plusSequence_;
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
    if (R.StopReached && !inMessage)
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
    // The repeat instant is held on its absolute time (it may lie up to 255
    // minutes ahead, an interval edited into the settings file), and no
    // sooner than the interval after the previous start on the tick count.
    if (RepeatInterval != 0 && (NowAbs() < nextStartAbs_ || !RepeatIntervalPassed()))
        return;
    NoteStart(true, MonoSincePreviousTick());
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
