// Sound mirroring, the fast CW identification, and the buttons of the
// transmit window: test, QSO TX/RX and speed, Cancel.
#include "engine.h"

#include "io/speaker.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <cmath>

namespace keying {

// With the PC speaker as the source, both sounds go to it.
bool KeyEngine::SpeakerSound(double hz)
{
    if (!UseSpeaker)
        return false;
    if (hz != 0)
        SpeakerOn(hz);
    else
        SpeakerOff();
    return true;
}

void KeyEngine::Sound(double hz)
{
    if (SpeakerSound(hz))
        return;
    if (hz != 0) {
        myTone_.SetFrequency(hz);
        myTone_.Play();
    } else {
        myTone_.Stop();
    }
}

void KeyEngine::IdSound(double hz)
{
    if (SpeakerSound(hz))
        return;
    if (hz != 0) {
        fastTone_.SetFrequency(std::nearbyint(hz));
        fastTone_.Prepare();
        fastTone_.Play();
    } else {
        fastTone_.Stop();
    }
}

bool KeyEngine::IdTickStep()
{
    if (R.IdPattern.empty() && R.IdCountdown == 0) {
        // Characters without a pattern send nothing and take no time.
        while (R.IdPos <= R.IdText.size() && MorsePattern(R.IdText[R.IdPos - 1u]).empty())
            ++R.IdPos;
        if (R.IdPos > R.IdText.size())
            return true;
        R.IdPattern = MorsePattern(R.IdText[R.IdPos - 1u]);
        ++R.IdPos;
    }
    if (R.IdCountdown == 0 && !R.IdPattern.empty()) {
        const char e = R.IdPattern.front();
        R.IdPattern.erase(0, 1);
        if (e == ' ') {
            R.IdCountdown = 4;
            lines_.SetKey(false);
            if (SidetoneOn)
                IdSound(0);
        } else {
            R.IdCountdown = e == '.' ? R.IdDotTicks : R.IdDashTicks;
            lines_.SetKey(true);
            if (SidetoneOn)
                IdSound(SidetoneFreq);
        }
    }
    if (R.IdCountdown == R.IdKeyUpTick) {
        lines_.SetKey(false);
        if (SidetoneOn)
            IdSound(0);
    }
    if (R.IdCountdown > 0)
        --R.IdCountdown;
    return false;
}

void KeyEngine::SendIdBlocking(std::uint8_t wpm, const std::string& text)
{
    std::int32_t dot = 200, dash = 600;
    switch (wpm) {
    case 9: dot = 133; dash = 400; break;
    case 12: dot = 100; dash = 300; break;
    case 15: dot = 80; dash = 240; break;
    default: break;
    }
    cancelled_ = false;
    for (const char c : text) {
        for (const char e : MorsePattern(c)) {
            // Cancel, or Release key in the test, ends the keying at once: the
            // transmitter must not go on keying after the operator stopped it.
            if (cancelled_)
                return;
            if (e == ' ') {
                clock_.WaitMs(dash);
                continue;
            }
            lines_.SetKey(true);
            if (SidetoneOn)
                IdSound(SidetoneFreq);
            clock_.WaitMs(e == '-' ? dash : dot);
            lines_.SetKey(false);
            if (SidetoneOn)
                IdSound(0);
            clock_.WaitMs(dot);
        }
    }
}

void KeyEngine::PushPtt()
{
    lines_.ArmPtt();
    operatorPtt_ = true;
    Ptt(true);
}

void KeyEngine::ReleasePtt()
{
    operatorPtt_ = false;
    lines_.StopPtt();
}

void KeyEngine::PushKey()
{
    if (R.TestKeyHeld)
        return;
    lines_.Arm();
    stopAsked_ = false;
    R.TestKeyHeld = true;
    lines_.SetKey(true);
    if (SidetoneOn)
        Sound(SidetoneFreq);
    if (!StopId.Enabled)
        return;
    R.TestIdsLeft = RepeatCount == 0 ? -1 : RepeatCount;
    R.TxState = TestIdPlan;
    KeyTimerInterval = 100;
    KeyTimerEnabled = true;
    Activate();
}

// Also during the last identification, when the key is no longer held: the
// operator's release ends whatever the test would still key.
void KeyEngine::ReleaseKey()
{
    if (!R.TestKeyHeld && !KeyTimerEnabled)
        return;
    if (StopId.Enabled) {
        KeyTimerInterval = 1000;
        KeyTimerEnabled = false;
        cancelled_ = true; // a fast identification in progress is cut off
    }
    R.TestKeyHeld = false;
    lines_.SetKey(false);
    // The PTT an identification pushed goes with the key; the operator's own stays.
    if (operatorPtt_)
        lines_.LockKey();
    else
        lines_.Stop(false);
    if (SidetoneOn)
        Sound(0);
}

void KeyEngine::TxClick(const std::string& editText)
{
    if (R.QsoTransmitting) {
        // RX. The tone is silenced with or without a port: on the sound card
        // it may be the transmitted signal itself (audio FSK).
        if (lines_.PortIsOpen())
            lines_.SetKey(false);
        // PTT goes off when Stopping runs; from now on nothing switches either on.
        lines_.Lock();
        if (SidetoneOn || DfcwToneOn)
            Sound(0);
        cancelled_ = stopAsked_ = true;
        R.TxState = Stopping;
        Display.TxVisible = false;
        return;
    }
    lines_.Arm();
    cancelled_ = stopAsked_ = false;
    Display.EditVisible = false;
    Display.StartMenuEnabled = false;
    R.Message = R.MessageCopy = Short(PreparedText(TrimSpaces(editText)));
    R.QsoTransmitting = true;
    Display.TxCaption = "RX";
    R.CharPos = 1;
    R.Pattern.clear();
    Display.Blue.clear();
    Display.Black.clear();
    R.AtLastChar = R.AtLastElement = false;
    if (IsValidTime(StartTime)) {
        R.StartClock = ClockOf(StartTime);
        R.TxState = WaitStart;
    } else {
        R.StartedAt = TimeOfDayText(NowDays());
        WriteTitle(Title::QsoStarted);
        R.TxState = PlanSync;
        R.StartTicks = 10;
        Display.Gray = R.Message + ' ';
        R.MessageSeconds = TextDuration(R.Message, R.CurrentDot, HeldKeyGap(), 0);
        SetSlots(R.CurrentDot);
        ArmAlarm();
        R.QsoFirstChar = true;
    }
    Display.StatusVisible = Display.GrayVisible = true;
    Activate();
}

void KeyEngine::SetQsoDot(std::int32_t dotMs, std::int32_t keyGapMs)
{
    R.CurrentDot = dotMs;
    if (DfcwMode)
        R.CurrentKeyGap = keyGapMs;
    if (R.QsoTransmitting) {
        R.SpeedChangePending = true;
    } else {
        WriteTitle(Title::Qso);
    }
}

void KeyEngine::Cancel()
{
    lines_.Stop(lines_.PortIsOpen());
    // Silenced with or without a port: the sound-card tone may be what is transmitted.
    if (SidetoneOn || DfcwToneOn)
        Sound(0);
    cancelled_ = stopAsked_ = true;
    Display.EditVisible = true;
    DialogCancelled = true;
    R.CloseAllowed = true;
    if (Observer != nullptr)
        Observer->Cancelled(*this);
}

void KeyEngine::Close()
{
    lines_.Stop(false);
    cancelled_ = stopAsked_ = true;
    KeyTimerEnabled = false;
    R.KeyingActive = false;
    RatioCode = R.SavedRatioCode;
    DfcwMode = R.SavedDfcwMode;
}

void KeyEngine::ReleaseLines()
{
    lines_.Stop(false); // the port's release switches both off once more
    cancelled_ = stopAsked_ = true;
    KeyTimerEnabled = false;
    R.KeyingActive = false;
}

} // namespace keying
