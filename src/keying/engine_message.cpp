// The message in the Sending state: characters, elements on the absolute time
// line, mark release, the QSK lead and lag of PTT, the alarm, the end.
#include "engine.h"

#include "io/speaker.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <algorithm>

namespace keying {

void KeyEngine::StepSending()
{
    if (alarmWanted_) {
        // The message's first element is due now: the alarm's base instant.
        alarmWanted_ = false;
        const std::int64_t ahead =
            std::max<std::int64_t>(0, (std::int64_t{TextDuration(R.Message, HeldDot(), HeldKeyGap(), 0)} - AlarmTime) * 1000);
        alarmAbs_ = nextEventAbs_ + ahead;
        R.AlarmInstant = static_cast<std::int32_t>(((alarmAbs_ % kDayMs) + kDayMs) % kDayMs);
    }
    AlarmStep();
    if (R.CharPos > R.Message.size() + 1) {
        EndOfMessage();
        return;
    }
    if (R.Pattern.empty() && R.CharPos <= R.Message.size() + 1)
        LoadCharacter();
    R.AtLastElement = R.AtLastChar && R.Pattern.size() == 1;

    if (R.TxLeadActive) {
        if (NextEventDue()) {
            if (!R.TxLeadPttDone) {
                Ptt(true);
                R.TxLeadPttDone = true;
                // A release still counting down would drop PTT under the coming mark.
                R.RxHoldTicks = 0;
            }
            if (R.TxLeadTicks > 0)
                --R.TxLeadTicks;
            if (R.TxLeadTicks == 0) {
                R.TxLeadActive = false;
                leadRan_ = true;
            }
        }
    } else if (!R.Pattern.empty() && NextEventDue()) {
        SendElement();
    }
    if (R.MarkPending)
        ReleaseMark();
    PttRelease();
}

void KeyEngine::AlarmStep()
{
    const bool due = alarmAbs_ != INT64_MAX && alarmAbs_ - NowAbs() < kReachWindowMs && Reached(R.AlarmInstant);
    if (due && R.AlarmTicks == 0) {
        R.AlarmTicks = 30;
    } else if (R.AlarmTicks > 1) {
        if (R.AlarmTicks == 30 || R.AlarmTicks == 20 || R.AlarmTicks == 10)
            AlarmChirp(clock_);
        --R.AlarmTicks;
    }
}

void KeyEngine::LoadCharacter()
{
    const std::size_t length = R.Message.size();
    // Characters that send nothing take no time: passed in this same tick.
    while (R.CharPos <= length && SendsNothing(R.Message[R.CharPos - 1u])) {
        AdvanceProgress(R.CharPos - 1u);
        ++R.CharPos;
    }
    if (R.CharPos == length + 1) {
        ++R.CharPos;
        return;
    }
    const std::size_t index = R.CharPos - 1u;
    const char c = R.Message[index];
    if (c == '+') {
        R.TxState = BeginSequence;
        fromPlus_ = true;
    } else {
        R.Pattern = MorsePattern(c);
    }
    if (NextSentIndex(R.CharPos) == length)
        R.AtLastChar = true;
    AdvanceProgress(index);
    std::int32_t lead = 0;
    if (R.QsoFirstChar)
        R.QsoFirstChar = false;
    else if (!DfcwMode)
        lead = R.DotSlot / 1000;
    if (R.SpeedChangePending) {
        SetSlots(R.CurrentDot);
        R.SpeedChangePending = false;
        R.TitleUpdatePending = true;
    }
    const std::int32_t rest = TextDuration(R.Message.substr(index), R.CurrentDot, HeldKeyGap(), 0);
    R.ExpectedEnd = NowDays() + (std::int64_t{rest} + lead - R.DotSlot / 1000) / 86400.0;
    ++R.CharPos;
    if (R.TitleUpdatePending && RunKind == kRunQso) {
        R.TitleUpdatePending = false;
        WriteTitle(Title::QsoStarted);
    }
}

void KeyEngine::SendElement()
{
    const char e = R.Pattern.front();
    const char next = R.Pattern.size() > 1 ? R.Pattern[1] : ' ';
    R.Pattern.erase(0, 1);
    if (!DfcwMode) {
        if (e == ' ') {
            AdvanceNextEvent(R.DotSlot);
            lines_.SetKey(false);
            if (SidetoneOn)
                Sound(0);
            R.MarkPending = false;
        } else {
            // Only a mark after a PTT lead gets TxDelay added (which puts it back
            // on the time line); other marks keep their nominal slot.
            AdvanceNextEvent((e == '-' ? R.DashSlot : R.DotSlot) + (leadRan_ ? HeldDelay(TxDelay) : 0));
            leadRan_ = false;
            lines_.SetKey(true);
            if (SidetoneOn)
                Sound(SidetoneFreq);
            R.MarkPending = true;
        }
    } else if (e == ' ') {
        // 0 half space, 2 double space; any other code times as single space.
        const std::int32_t space = RatioCode == 0 ? R.DfcwElement / 2
            : RatioCode == 2                      ? 2 * R.DfcwElement
                                                  : R.DfcwElement;
        AdvanceNextEvent(space);
        lines_.SetKey(false);
        if (DfcwToneOn)
            Sound(0);
        R.MarkPending = false;
    } else {
        R.NoKeyGap = OmitKeyGaps && next != e;
        AdvanceNextEvent(R.NoKeyGap ? std::int64_t{R.DfcwElement} : std::int64_t{HeldKeyGap()} + R.DfcwElement);
        lines_.SetKey(true);
        lines_.SetDfcw(e == '-' ? FskNormal : !FskNormal);
        if (DfcwToneOn)
            Sound(e == '-' ? DashToneFreq : DotToneFreq);
        R.MarkPending = true;
    }
    if (e == ' ' && PeekNextElement() != ' ' && R.TxLeadTicks > 0)
        StartLead();
}

// Time to NextEvent as RemainingMs gives it (never negative), or on the
// absolute time line for a wait longer than the reach window.
void KeyEngine::ReleaseMark()
{
    const std::int64_t ahead = NextEventRemaining();
    const std::int64_t remaining = ahead >= kReachWindowMs ? ahead : RemainingMs(R.NextEvent);
    if (!DfcwMode) {
        if (remaining >= R.KeyUpMargin)
            return;
        lines_.SetKey(false);
        if (SidetoneOn || DfcwToneOn)
            Sound(0);
        R.MarkPending = false;
        if (R.AtLastElement)
            EndAfterLastMark();
        else
            QskDecision();
        return;
    }
    if (R.NoKeyGap || remaining >= HeldKeyGap())
        return;
    lines_.SetKey(false);
    if (DfcwToneOn)
        Sound(0);
    R.MarkPending = false;
    if (R.AtLastElement) {
        EndAfterLastMark();
        return;
    }
    // The next mark's level, looking through one word space and over the
    // characters that send nothing; a "+" leaves the line as it is.
    char n = PeekNextElement();
    if (n == ' ') {
        const std::size_t next = NextSentIndex(R.CharPos - 1u);
        n = FirstElementAt(next);
        if (next < R.Message.size() && R.Message[next] == ' ')
            n = FirstElementAt(NextSentIndex(next + 1));
    }
    PresetDfcw(n);
}

// The message ends on the next tick, also when characters that send nothing
// follow the last mark.
void KeyEngine::EndAfterLastMark() { R.CharPos = static_cast<std::uint16_t>(R.Message.size() + 2); }

void KeyEngine::PresetDfcw(char element)
{
    if (element == '-')
        lines_.SetDfcw(FskNormal);
    else if (element == '.')
        lines_.SetDfcw(!FskNormal);
}

void KeyEngine::QskDecision()
{
    const auto hold = static_cast<std::uint8_t>(HeldDelay(RxDelay) / 100 + 1);
    const char next = PeekNextElement();
    const std::size_t nextChar = NextSentIndex(R.CharPos - 1u);
    switch (EffectiveQskMode()) {
    case 1:
        R.RxHoldTicks = hold;
        break;
    case 2:
        if (next == ' ')
            R.RxHoldTicks = hold;
        break;
    case 3:
        if (!R.AtLastChar && next == ' ' && nextChar < R.Message.size() && R.Message[nextChar] == ' ')
            R.RxHoldTicks = hold;
        break;
    default:
        R.RxHoldTicks = 0;
        break;
    }
    // PTT drops (hold - 1) ticks after this one and the lead must push it
    // again TxDelay before the next mark. When both do not fit into the gap,
    // or the lead could only begin after its instant, PTT stays on through
    // the gap, and the next mark keeps its instant and its length rather than
    // waiting for a lead that began too late.
    if (R.RxHoldTicks > 0) {
        const MarkAhead ahead = NextMarkAhead();
        const std::int64_t lead = HeldDelay(TxDelay);
        if (std::int64_t{R.RxHoldTicks - 1} * 100 + lead >= ahead.gap || lead >= ahead.leadRoom)
            R.RxHoldTicks = 0;
    }
    if (R.RxHoldTicks > 0) {
        R.TxLeadTicks = static_cast<std::uint8_t>(HeldDelay(TxDelay) / 100 + 1);
        if (next != ' ')
            StartLead();
    } else {
        R.TxLeadTicks = 0;
    }
}

// From now to the nominal start of the next mark (the rest of the current
// slot and the space elements before it), and how long before that mark the
// lead can begin at the earliest: at once when no space element comes first,
// else when the last space element is sent (two ticks later at a "+", which
// starts it when the start sequence passes on). INT64_MAX for both when no
// mark follows on this time line: the message ends, or a "+" inserts a start
// identification or a synchronisation wait, which lead PTT in themselves.
KeyEngine::MarkAhead KeyEngine::NextMarkAhead()
{
    MarkAhead ahead{NextEventRemaining(), NextEventRemaining()};
    const auto through = [&](const std::string& pattern) {
        for (const char e : pattern) {
            if (e != ' ')
                return true;
            ahead.gap += R.DotSlot;
            ahead.leadRoom = R.DotSlot;
        }
        return false;
    };
    if (through(R.Pattern))
        return ahead;
    for (std::size_t k = R.CharPos - 1u; k < R.Message.size(); ++k) {
        if (R.Message[k] == '+') {
            if (StartId.Enabled || EffectiveSyncPeriod() != 0)
                break;
            ahead.leadRoom -= 200;
        }
        if (through(MorsePattern(R.Message[k])))
            return ahead;
    }
    return {INT64_MAX, INT64_MAX};
}

void KeyEngine::StartLead()
{
    AdvanceNextEvent(-HeldDelay(TxDelay));
    R.TxLeadPttDone = false;
    R.TxLeadActive = true;
}

void KeyEngine::PttRelease()
{
    if (R.RxHoldTicks == 0)
        return;
    if (R.RxHoldTicks == 1)
        Ptt(false);
    --R.RxHoldTicks;
}

void KeyEngine::EndOfMessage()
{
    if (DfcwMode)
        Ptt(false);
    R.CharPos = 1;
    Display.Blue.clear();
    Display.Black.clear();
    Display.BlueVisible = Display.BlackVisible = false;
    if (RunKind == kRunQso) {
        R.TxState = EndSequence;
        return;
    }
    if (RepeatCount > 0 && R.RepeatNumber == RepeatCount) {
        R.RepeatPending = false;
        R.TxState = EndSequence;
        return;
    }
    WriteRepeatLine(false);
    ++R.RepeatNumber;
    if (R.RepeatPending && R.IntervalMinutes > 0) {
        R.NextStartSecond += R.IntervalMinutes * 60;
        if (R.NextStartSecond >= 86400)
            R.NextStartSecond -= 86400;
        nextStartAbs_ += std::int64_t{R.IntervalMinutes} * 60000;
    }
    R.TxState = EndSequence;
}

} // namespace keying
