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
    if (R.CharPos == length)
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
            ++R.CharPos;
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
        ++R.CharPos;
        return;
    }
    // The next mark's level, looking through one word space; a "+" (no
    // pattern) leaves the line as it is.
    char n = PeekNextElement();
    const std::size_t length = R.Message.size();
    if (n == ' ' && R.CharPos <= length) {
        const std::string pattern = MorsePattern(R.Message[R.CharPos - 1u]);
        n = pattern.empty() ? ' ' : pattern.front();
        if (pattern == " " && R.CharPos + 1u <= length) {
            const std::string after = MorsePattern(R.Message[R.CharPos]);
            n = after.empty() ? ' ' : after.front();
        }
    }
    PresetDfcw(n);
}

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
    switch (EffectiveQskMode()) {
    case 1:
        R.RxHoldTicks = hold;
        break;
    case 2:
        if (next == ' ')
            R.RxHoldTicks = hold;
        break;
    case 3:
        if (!R.AtLastChar && next == ' ' && R.CharPos <= R.Message.size() && R.Message[R.CharPos - 1u] == ' ')
            R.RxHoldTicks = hold;
        break;
    default:
        R.RxHoldTicks = 0;
        break;
    }
    if (R.RxHoldTicks > 0) {
        R.TxLeadTicks = static_cast<std::uint8_t>(HeldDelay(TxDelay) / 100 + 1);
        if (next != ' ')
            StartLead();
    } else {
        R.TxLeadTicks = 0;
    }
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
