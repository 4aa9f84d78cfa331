// The engine's time base, its preparation for each showing of the transmit
// window, and the title, status and repeat texts.
#include "engine.h"

#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>

namespace keying {

namespace {

// Minutes of the synchronisation period for the repeat line; 1 when disabled.
std::int32_t SyncMinutes()
{
    static constexpr std::int32_t minutes[] = {1, 1, 2, 5, 10, 30, 60};
    return minutes[EffectiveSyncPeriod()];
}

std::string SelectedText() { return Texts[static_cast<std::size_t>(SelectedTextNumber())]; }

} // namespace

std::string ClockOf(const std::string& hhmmss)
{
    const auto part = [&](std::size_t at) { return hhmmss.size() >= at + 2 ? hhmmss.substr(at, 2) : ""; };
    return part(0) + ':' + part(2) + ':' + part(4);
}

const char* StateName(std::uint8_t state)
{
    static constexpr const char* names[] = {"Idle", "WaitStart", "Sending", "Stopping", "Starting",
        "WaitRepeat", "BeginSequence", "EndSequence", "SendingId", "PlanSync", "WaitSyncLead",
        "WaitBoundary", "Arm", "TestIdPlan", "TestIdWait"};
    return state < std::size(names) ? names[state] : "?";
}

std::int32_t AddMs(std::int32_t t, std::int32_t d)
{
    const std::int64_t sum = std::int64_t{t} + d;
    return static_cast<std::int32_t>(sum >= kDayMs ? sum - kDayMs : sum);
}

std::int32_t SubMs(std::int32_t t, std::int32_t d)
{
    const std::int64_t difference = std::int64_t{t} - d;
    return static_cast<std::int32_t>(difference < 0 ? difference + kDayMs : difference);
}

bool ReachedAt(std::int32_t t, std::int32_t now)
{
    if (t > now)
        return t - now > kReachWindowMs;
    return now - t < kReachWindowMs;
}

std::string FormatClock(std::int64_t ms)
{
    const auto seconds = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(ms) / 1000.0));
    return TwoDigits(seconds / 3600) + ':' + TwoDigits(seconds / 60 % 60) + ':' + TwoDigits(seconds % 60);
}

std::string FormatRemainingSeconds(std::int64_t s)
{
    if (s < 0)
        s = 0;
    const std::int64_t hh = s / 3600, mm = s / 60 - hh * 60, ss = s % 60;
    return TwoDigits(hh) + 'h' + TwoDigits(mm) + '\'' + TwoDigits(ss) + '"';
}

std::int32_t SyncPeriodMsOf(std::uint8_t code)
{
    static constexpr std::int32_t periods[] = {0, 60000, 120000, 300000, 600000, 1800000, 3600000};
    return code < std::size(periods) ? periods[code] : 0;
}

KeyEngine::KeyEngine(Clock& clock, LineOutput& lines, ToneOutput& myTone, ToneOutput& fastTone)
    : clock_(clock), lines_(lines), myTone_(myTone), fastTone_(fastTone)
{
}

std::int64_t KeyEngine::RealNowAbs()
{
    const double now = clock_.Now();
    return static_cast<std::int64_t>(std::floor(now)) * kDayMs + DayMs(now);
}

std::int64_t KeyEngine::NowAbs() { return tickAbs_ >= 0 ? tickAbs_ : RealNowAbs(); }

double KeyEngine::NowDays()
{
    if (tickAbs_ < 0)
        return clock_.Now();
    const std::int64_t day = tickAbs_ / kDayMs;
    return static_cast<double>(day) + static_cast<double>(tickAbs_ - day * kDayMs) / kDayMs;
}

// The tenth a tick stands for: the one just before it, since the timer fires
// just after each tenth (a late tick stands for the tenth it fell into).
std::int64_t KeyEngine::TickTenth(std::int64_t real) { return real - ((real % 100) + 100) % 100; }

std::int32_t KeyEngine::HeldDot() { return HeldDotLength(); }
std::int32_t KeyEngine::HeldKeyGap() { return ::HeldKeyGap(); }
std::int32_t KeyEngine::HeldDelay(std::int32_t ms) { return std::clamp(ms, 0, 25000); }

std::int32_t KeyEngine::MsOfDay() { return static_cast<std::int32_t>(NowAbs() % kDayMs); }

std::int32_t KeyEngine::RemainingMs(std::int32_t t)
{
    const std::int32_t r = t - MsOfDay();
    return r < 0 ? r + kDayMs : r;
}

bool KeyEngine::Reached(std::int32_t t) { return ReachedAt(t, MsOfDay()); }

std::int32_t KeyEngine::NextBoundary(std::int32_t p) { return AddMs(p * (MsOfDay() / p), p); }

// The look-ahead passes over the characters that send nothing: they take no
// time, so a PTT lead before the mark behind them must still start.
char KeyEngine::PeekNextElement() const
{
    if (!R.Pattern.empty())
        return R.Pattern.front();
    return FirstElementAt(NextSentIndex(R.CharPos - 1u));
}

std::size_t KeyEngine::NextSentIndex(std::size_t index) const
{
    while (index < R.Message.size() && SendsNothing(R.Message[index]))
        ++index;
    return std::min(index, R.Message.size());
}

// ' ' past the end and for a "+", which inserts the start sequence.
char KeyEngine::FirstElementAt(std::size_t index) const
{
    if (index >= R.Message.size())
        return ' ';
    const std::string pattern = MorsePattern(R.Message[index]);
    return pattern.empty() ? ' ' : pattern.front();
}

std::string KeyEngine::FormatRemaining(double end)
{
    return FormatRemainingSeconds(static_cast<std::int64_t>(std::nearbyint((end - NowDays()) * 86400.0)));
}

// The absolute shadow of NextEvent: NextEvent itself is its time of day.
void KeyEngine::SetNextEventAbs(std::int64_t abs)
{
    nextEventAbs_ = abs;
    R.NextEvent = static_cast<std::int32_t>(((abs % kDayMs) + kDayMs) % kDayMs);
}

void KeyEngine::AdvanceNextEvent(std::int64_t ms) { SetNextEventAbs(nextEventAbs_ + ms); }

// Reached(NextEvent), except that a wait longer than the reach window (a QRSS
// dash of a dot length above 1500 s) is held until it comes into the window,
// rather than being taken as due at once.
bool KeyEngine::NextEventDue()
{
    if (nextEventAbs_ - NowAbs() >= kReachWindowMs)
        return false;
    return Reached(R.NextEvent);
}

std::int64_t KeyEngine::NextEventRemaining() { return nextEventAbs_ - NowAbs(); }

void KeyEngine::SetSlots(std::int32_t dot)
{
    // A settings file edited by hand may hold any dot length or ratio code:
    // the dot stays in the dialog's range, and codes the mode dialog never
    // gives time as ratio 3, as the duration does.
    dot = HeldDotLength(dot);
    R.DotSlot = 2 * dot;
    R.DashSlot = (RatioCode == 2 ? 3 : 4) * dot;
    R.KeyUpMargin = R.DfcwElement = R.CurrentDot = dot;
}

void KeyEngine::ResetRecord()
{
    R.KeyingActive = R.TitleUpdatePending = R.QsoFirstChar = R.SpeedChangePending = false;
    R.CloseAllowed = R.MarkPending = R.SendingStartId = R.SendingStopId = false;
    R.TxLeadActive = R.TxLeadPttDone = R.TestKeyHeld = R.StopReached = R.RepeatPending = false;
    R.TxLeadTicks = R.RxHoldTicks = 0;
    R.AlarmTicks = -1;
    R.StartClock.clear();
    R.StopClock.clear();
    R.SavedRatioCode = RatioCode;
    R.SavedDfcwMode = DfcwMode;
    R.IntervalMinutes = RepeatInterval;
    DialogCancelled = false;
    alarmWanted_ = leadRan_ = fromPlus_ = idSent_ = false;
    cancelled_ = stopAsked_ = plusSequence_ = operatorPtt_ = false;
    lastClockSecond_ = -1;
    lastTick_ = clock_.TickCount();
    mono_ = previousTickMono_ = 0;
    startMono_ = previousStartMono_ = kNoStart;
    slotAbs_ = -1;
    slotKept_ = stepped_ = false;
}

void KeyEngine::Prepare()
{
    const double level = std::isfinite(SoundLevel) ? std::clamp(SoundLevel, 0.0, 100.0) : 50.0;
    const int volume = static_cast<int>(std::nearbyint(level));
    for (ToneOutput* tone : {&fastTone_, &myTone_}) {
        tone->SetLeftVolume(volume);
        tone->SetRightVolume(volume);
    }
    KeyTimerInterval = 100;
    ResetRecord();

    Display = EngineDisplay{};
    const bool transmit = RunKind == kRunTransmit, qso = RunKind == kRunQso;
    Display.StatusVisible = Display.GrayVisible = transmit || qso;
    Display.EditVisible = Display.TxVisible = qso;
    KeyTimerEnabled = transmit || qso;

    // Only a start keys by itself; the other runs wait for the operator's
    // TX or push, which re-arm the lines.
    if (transmit)
        lines_.Arm();
    else
        lines_.Stop(false);
    if (transmit)
        PrepareTransmit();
    else if (qso)
        PrepareQso();
    else
        WriteTitle(Title::StartNow); // the run kind's own title
}

void KeyEngine::PrepareTransmit()
{
    const std::string text = PreparedText(SelectedText());
    if (R.IntervalMinutes == 0)
        R.IntervalMinutes = static_cast<std::int32_t>(TransmissionSeconds() / 60 + 1);
    R.MessageSeconds = TextDuration(text, HeldDot(), HeldKeyGap(), 0);
    R.RepeatPending = std::int64_t{R.IntervalMinutes} * 60 >= R.MessageSeconds;
    WriteRepeatLine(true);
    R.RepeatNumber = 1;
    Display.Gray = text + ' ';
    R.Message = R.MessageCopy = text;
    R.AtLastChar = R.AtLastElement = false;

    if (StartImmediately) {
        R.CharPos = 1;
        R.Pattern.clear();
        R.TxState = PlanSync;
        R.StartTicks = 10;
        SetSlots(DotLength);
        R.CurrentKeyGap = KeyGap;
        StartTime = TimeOfDayText(clock_.Now());
        R.NextStartSecond = TimeTextToSeconds(StartTime);
        nextStartAbs_ = NowAbs() / 1000 * 1000;
        NoteStart(true, 1000);
        WriteTitle(Title::StartNow);
        ArmAlarm();
    } else {
        R.StartClock = ClockOf(StartTime);
        if (!StopTime.empty())
            R.StopClock = ClockOf(StopTime);
        R.NextStartSecond = TimeTextToSeconds(R.StartClock);
        R.CurrentDot = HeldDot();
        WriteTitle(Title::WillStart);
        R.TxState = WaitStart;
    }
    // The start commands refuse such a text; should one come here all the
    // same, it ends at the first tick rather than switching PTT for ever.
    if (NothingToKey())
        R.TxState = Stopping;
    Activate();
}

void KeyEngine::PrepareQso()
{
    R.TxState = Idle;
    R.QsoTransmitting = false;
    R.Message = R.MessageCopy = PreparedText(SelectedText());
    R.CurrentDot = HeldDot();
    R.CurrentKeyGap = KeyGap;
    StartTime.clear();
    WriteTitle(Title::Qso);
}

// The alarm is wanted now and armed when the message's first element is due:
// its base instant is the start of the message itself, so that neither the
// starting pause, a synchronisation wait of up to an hour nor the start
// identification make it sound early. A later start arms it too, when its
// start time arrives: the warning is as useful either way.
void KeyEngine::ArmAlarm()
{
    if (AlarmTime == 0)
        return;
    alarmWanted_ = true;
    R.AlarmTicks = 0;
    R.AlarmInstant = R.NextEvent;
    alarmAbs_ = INT64_MAX; // not due before the message starts
}

void KeyEngine::Activate()
{
    R.KeyingActive = true;
    lastAbs_ = NowAbs();
    const std::uint32_t tick = clock_.TickCount();
    mono_ += static_cast<std::uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    previousTickMono_ = MonoNow();
}

std::string KeyEngine::ModePart() const
{
    if (RunKind == kRunQso)
        return DfcwMode ? ") : QSO mode (DFCW : " : ") : QSO mode (QRSS : ";
    return DfcwMode ? ") : DFCW , " : ") : QRSS , ";
}

void KeyEngine::WriteTitle(Title kind)
{
    const std::string head = "Vantrel (V" + VersionText;
    const std::string dot = std::to_string(R.CurrentDot / 1000) + " s dot";
    const std::string port = PortNumber < 20         ? "serial port"
                           : PortNumber == kPortGpio   ? "GPIO lines"
                           : PortNumber == kPortHamlib ? "radio"
                                                       : "parallel port";
    switch (RunKind) {
    case kRunOpenPort:
        Display.Title = "Initializing " + port;
        return;
    case kRunReleasePort:
        Display.Title = "Releasing " + port;
        return;
    case kRunTest:
        Display.Title = "Transmitter test";
        return;
    default:
        break;
    }
    switch (kind) {
    case Title::StartNow:
        Display.Title = head + ModePart() + dot + " (transmission started at " + StartTime + ")";
        break;
    case Title::WillStart:
        Display.Title = head + ") : Transmission will start at " + R.StartClock
            + (R.StopClock.empty() ? "" : " and stop at " + R.StopClock);
        break;
    case Title::StartedLater:
        Display.Title = head + ModePart() + dot + " (started at " + R.StartedAt + ")";
        break;
    case Title::Qso:
        Display.Title = head + ModePart() + dot + ")";
        break;
    case Title::QsoStarted:
        Display.Title = head + ModePart() + dot + ") started at " + R.StartedAt;
        break;
    }
}

void KeyEngine::WriteRepeatLine(bool atShow)
{
    const std::string done = " (" + std::to_string(atShow ? 0 : R.RepeatNumber) + " done)";
    std::string line;
    if (RepeatCount == 0)
        line = "Repeat text : endless" + done;
    else if (RepeatCount == 1)
        line = "Repeat text : 1 time";
    else
        line = "Repeat text : " + std::to_string(RepeatCount) + " times" + done;
    const std::int32_t p = SyncMinutes();
    if ((R.IntervalMinutes > 0 || EffectiveSyncPeriod() != 0) && RepeatCount != 1 && RepeatInterval != 0) {
        const std::int32_t next = p * (R.IntervalMinutes / p + 1);
        const std::int32_t x = atShow ? next : (R.IntervalMinutes % p == 0 ? R.IntervalMinutes : next);
        line += " at " + std::to_string(x) + " min. interval";
    }
    Display.Repeat = line;
}

void KeyEngine::WriteStatus()
{
    const auto id = [this] {
        return R.SendingStopId ? "Status : transmitting stop ID" : "Status : transmitting start ID";
    };
    switch (R.TxState) {
    case WaitStart: Display.Status = "Status : transmission will start at " + R.StartClock; break;
    case Sending:
        Display.Status = std::string("Status : transmitting ") + (DfcwMode ? "DFCW" : "QRSS")
            + ", end expected in " + FormatRemaining(R.ExpectedEnd);
        break;
    case Stopping: Display.Status = "Status : stopping"; break;
    case Starting: Display.Status = "Status : starting"; break;
    case WaitRepeat:
        Display.Status = "Status : next transmission will start at " + FormatClock(std::int64_t{R.NextStartSecond} * 1000);
        break;
    case BeginSequence: Display.Status = "Status : transmitting start ID"; break;
    case EndSequence: Display.Status = "Status : transmitting stop ID"; break;
    case SendingId:
        if (RunKind != kRunTest)
            Display.Status = id();
        break;
    case WaitSyncLead: Display.Status = "Status : start ID at " + FormatClock(R.NextEvent); break;
    case WaitBoundary: Display.Status = "Status : synchronisation at " + FormatClock(R.NextEvent); break;
    default: break;
    }
    // Never "transmitting" while nothing reaches the radio.
    if (const std::string note = lines_.PortNote(); !note.empty())
        Display.Status = "Status : " + note;
}

void KeyEngine::AdvanceProgress(std::size_t index)
{
    Display.Blue += R.Message[index];
    Display.BlueVisible = true;
    if (index > 0) {
        Display.Black += R.Message[index - 1];
        Display.BlackVisible = true;
    }
}

} // namespace keying
