// The keying engine: everything the transmit window does apart from drawing.
// It sequences a transmission on the 100 ms tick (waiting, synchronisation,
// identifications, the message element by element, repeats, stop), keys the
// lines on an absolute millisecond time line and mirrors the keying as sound.
// It talks to the world through four seams: the clock, the line operations,
// the two tone outputs, and the display record that the window renders after
// every call. UI thread only; no call overlaps another except the ticks and
// clicks that arrive while a fast identification waits (KeyingActive false).
#pragma once

#include "clock/clock.h"
#include "guardedlines.h"
#include "lines.h"
#include "tonegen/toneoutput.h"

#include <cstdint>
#include <string>

namespace keying {

inline constexpr std::int32_t kDayMs = 86400000;
// An instant up to this far ahead counts as not yet reached.
inline constexpr std::int32_t kReachWindowMs = 6000000;

enum TxStateValue : std::uint8_t {
    Idle = 0, WaitStart, Sending, Stopping, Starting, WaitRepeat, BeginSequence, EndSequence,
    SendingId, PlanSync, WaitSyncLead, WaitBoundary, Arm, TestIdPlan, TestIdWait
};
const char* StateName(std::uint8_t state);

// The time base on instants: milliseconds since local midnight.
std::int32_t AddMs(std::int32_t t, std::int32_t d);
std::int32_t SubMs(std::int32_t t, std::int32_t d);
bool ReachedAt(std::int32_t t, std::int32_t now);
// HH:MM:SS of ms rounded to whole seconds.
std::string FormatClock(std::int64_t ms);
// "HH:MM:SS" of a start or stop time "HHMMSS".
std::string ClockOf(const std::string& hhmmss);
// "hh" "h" "mm" "'" "ss" '"' of a number of seconds (not negative).
std::string FormatRemainingSeconds(std::int64_t seconds);
// Synchronisation period of a SyncPeriod code in ms; 0 when disabled.
std::int32_t SyncPeriodMsOf(std::uint8_t code);

// The engine record: the fields the transmit window's engine keeps.
struct EngineRecord {
    std::uint8_t TxState = Idle;
    bool KeyingActive = false;
    std::int32_t NextEvent = 0;
    std::string Message, MessageCopy;
    std::uint16_t CharPos = 1;
    std::string Pattern;
    std::int32_t CurrentDot = 1000, CurrentKeyGap = 0;
    std::int32_t DotSlot = 2000, DashSlot = 4000, KeyUpMargin = 1000, DfcwElement = 1000;
    bool MarkPending = false, NoKeyGap = false, AtLastChar = false, AtLastElement = false;
    bool TxLeadActive = false, TxLeadPttDone = false;
    std::uint8_t TxLeadTicks = 0, RxHoldTicks = 0, StartTicks = 0;
    double ExpectedEnd = 0;
    std::string StartedAt, StartClock, StopClock;
    std::int32_t NextStartSecond = 0, IntervalMinutes = 0, MessageSeconds = 0;
    bool RepeatPending = false;
    std::int32_t RepeatNumber = 1;
    bool StopReached = false, SendingStartId = false, SendingStopId = false;
    std::string IdText;
    std::uint16_t IdPos = 1;
    std::string IdPattern;
    std::uint8_t IdCountdown = 0;
    std::uint8_t IdDotTicks = 4, IdDashTicks = 8, IdKeyUpTick = 2, IdLeadTicks = 10;
    std::int32_t SyncPeriodMs = 0, SyncLeadMs = 0;
    std::int32_t AlarmInstant = 0, AlarmTicks = -1;
    bool TestKeyHeld = false;
    std::int32_t TestIdsLeft = 0, TestIdIntervalMs = 0, TestNextId = 0;
    bool QsoTransmitting = false, QsoFirstChar = false, SpeedChangePending = false,
         TitleUpdatePending = false;
    std::uint8_t SavedRatioCode = 3;
    bool SavedDfcwMode = false;
    bool CloseAllowed = false;
};

// What the engine shows in the transmit window; the window copies it into its
// widgets after every engine call. The layout of each run kind and the port
// runs' message line are the window's own.
struct EngineDisplay {
    std::string Title, Status, Repeat, Gray, Blue, Black, Clock;
    bool StatusVisible = false, GrayVisible = false, BlueVisible = false, BlackVisible = false;
    // QSO mode.
    std::string TxCaption = "TX";
    bool TxVisible = false, EditVisible = false, StartMenuEnabled = true;
    // The engine asks the window to close (Stopping outside QSO mode).
    bool CloseRequested = false;
};

class KeyEngine;

// Told after the step of every tick and at Cancel, for watchers outside the
// engine (the transmission log). It must not change the engine.
class EngineObserver {
public:
    virtual ~EngineObserver() = default;
    virtual void Ticked(const KeyEngine& engine) = 0;
    virtual void Cancelled(const KeyEngine& engine) = 0;
};

class KeyEngine {
public:
    KeyEngine(Clock& clock, LineOutput& lines, ToneOutput& myTone, ToneOutput& fastTone);

    // Every showing of the transmit window, for the current RunKind.
    void Prepare();
    // The 100 ms timer.
    void KeyTimerTimer();

    // QSO mode: TX/RX with the edit line's text; the dot length dialog's result.
    void TxClick(const std::string& editText);
    void SetQsoDot(std::int32_t dotMs, std::int32_t keyGapMs);
    // Test mode buttons.
    void PushPtt();
    void ReleasePtt();
    void PushKey();
    void ReleaseKey();
    // The bottom button (Cancel or OK): lines off, the window may close.
    void Cancel();
    // Closing the window: lines off and locked, the mode settings come back.
    void Close();
    // A termination signal: key and PTT off and locked, whatever runs.
    void ReleaseLines();

    // The message sound and the identification sound (0 = silence).
    void Sound(double hz);
    void IdSound(double hz);
    // One tick of a 6 WPM identification; true when it is finished.
    bool IdTickStep();
    // Sends a whole identification above 6 WPM, waiting with the clock's WaitMs.
    void SendIdBlocking(std::uint8_t wpm, const std::string& text);

    std::int32_t MsOfDay();
    std::int32_t RemainingMs(std::int32_t t);
    bool Reached(std::int32_t t);
    std::int32_t NextBoundary(std::int32_t periodMs);
    char PeekNextElement() const;
    // The 0-based index of the first character of Message at or after `index`
    // that sends something (its length if none), and its first element.
    std::size_t NextSentIndex(std::size_t index) const;
    char FirstElementAt(std::size_t index) const;
    std::string FormatRemaining(double end);

    // NextEvent on the absolute local time line (ms since 1899-12-30).
    std::int64_t NextEventAbs() const { return nextEventAbs_; }
    // The gate every line operation passes.
    const GuardedLines& Lines() const { return lines_; }
    // Settings from an edited file held to the dialogs' ranges where they time
    // keying: the settings' own HeldDotLength and HeldKeyGap.
    static std::int32_t HeldDot();
    static std::int32_t HeldKeyGap();
    // PTT delays: any int32 from a file; this keeps the tick counts in a byte.
    static std::int32_t HeldDelay(std::int32_t ms);

    EngineRecord R;
    EngineDisplay Display;
    // The window's KeyTimer as the engine wants it (test mode switches it).
    bool KeyTimerEnabled = false;
    std::int32_t KeyTimerInterval = 100;
    EngineObserver* Observer = nullptr;
    // A clock jump beyond this is carried across; smaller steps act on the time line.
    static constexpr std::int64_t kJumpToleranceMs = 1000;

private:
    // Local time as milliseconds since the clock's epoch. Inside a tick it is
    // the tenth of a second the tick stands for (the timer fires just after
    // it), so that every time line started from a tick starts on a tenth.
    std::int64_t NowAbs();
    std::int64_t RealNowAbs();
    double NowDays();
    static std::int64_t TickTenth(std::int64_t real);
    void ResetRecord();
    void PrepareTransmit();
    void PrepareQso();
    void SetSlots(std::int32_t dot);
    void ArmAlarm();
    void Activate();

    // Waits that may be longer than the reach window keep an absolute shadow.
    void SetNextEventAbs(std::int64_t abs);
    void AdvanceNextEvent(std::int64_t ms);
    bool NextEventDue();
    std::int64_t NextEventRemaining();

    // The engine against the clock (engine_clock.cpp): steps of the local
    // clock, and the repeat schedule kept on the tick count.
    void CheckClockJump();
    bool ClockPassed(std::int32_t secondOfDay, const std::string& clockText);
    std::int64_t MonoNow();
    std::int64_t MonoSincePreviousTick();
    void NoteStart(bool newTransmission, std::int64_t maxLateMs);
    bool RepeatIntervalPassed();
    std::int64_t ToNextBoundary(std::int64_t abs) const;
    void StepDuringSyncLead(std::int64_t jump, std::int64_t now);
    void StepDuringBoundaryWait(std::int64_t jump, std::int64_t now);
    void StepDuringStartSequence(std::int64_t jump, std::int64_t now);
    bool StepMovedTheSlot();
    void ReplanWithPttOff();
    bool StopTimeEndsHere() const;

    // Tick parts.
    void WriteStatus();
    void Step();
    void StepWaitStart();
    void StepPlanSync();
    void StepBeginSequence();
    void StepSending();
    void StepEndSequence();
    void StepSendingId();
    void StepWaitRepeat();
    void StepStopping();
    void StepTestIdWait();
    void Finish();
    void EndOfMessage();
    void AlarmStep();
    void LoadCharacter();
    void SendElement();
    void ReleaseMark();
    void EndAfterLastMark();
    void QskDecision();
    struct MarkAhead {
        std::int64_t gap, leadRoom; // ms
    };
    MarkAhead NextMarkAhead();
    void StartLead();
    void PttRelease();
    void PresetDfcw(char element);
    void BeginId(bool stop);
    bool SpeakerSound(double hz);
    void Ptt(bool on);
    void PttOnQrss();
    bool PttReadyForKeying();
    void EnterWaitBoundary();
    void StepWaitBoundary();
    void StopAsked();

    // Texts.
    enum class Title { StartNow, WillStart, StartedLater, Qso, QsoStarted };
    void WriteTitle(Title kind);
    std::string ModePart() const;
    void WriteRepeatLine(bool atShow);
    void AdvanceProgress(std::size_t index);

    Clock& clock_;
    GuardedLines lines_;
    ToneOutput& myTone_;
    ToneOutput& fastTone_;

    std::int64_t nextEventAbs_ = 0;
    std::int64_t alarmAbs_ = 0;
    std::int64_t testNextIdAbs_ = 0;
    std::int64_t nextStartAbs_ = 0;
    bool alarmWanted_ = false;     // arm at the message's first element
    bool leadRan_ = false;         // the next mark follows a PTT lead
    bool fromPlus_ = false;        // BeginSequence was entered at a "+"
    bool idSent_ = false;          // the blocking identification has run
    bool cancelled_ = false;       // Cancel, RX or Release key during a blocking identification
    bool stopAsked_ = false;       // a stop from outside wins over a step that ends afterwards
    bool plusSequence_ = false;    // the start sequence running was inserted at a "+"
    bool operatorPtt_ = false;     // test: PTT pushed by hand and not released
    std::int64_t pttOnAbs_ = 0;    // when PTT last went on
    std::int64_t tickAbs_ = -1;    // the tenth the running tick stands for; -1 outside ticks
    // Clock-jump detection: the local clock against the tick count.
    std::int64_t lastAbs_ = 0;
    std::uint32_t lastTick_ = 0;
    bool stepped_ = false;          // the running tick met a clock step
    // The tick count unwrapped (ms, as of lastTick_), and that of the previous tick's tenth.
    std::int64_t mono_ = 0;
    std::int64_t previousTickMono_ = 0;
    // When the running and the previous transmission began, on the tick count.
    static constexpr std::int64_t kNoStart = INT64_MIN;
    // The tick count and the local clock are read a moment apart, in whole ms.
    static constexpr std::int64_t kMonoToleranceMs = 50;
    std::int64_t startMono_ = kNoStart, previousStartMono_ = kNoStart;
    // The synchronisation boundary a start sequence aims at (absolute local
    // time, -1 when none); kept: a clock step met or jumped over it, and the
    // message begins as soon as the start sequence has run.
    std::int64_t slotAbs_ = -1;
    bool slotKept_ = false;
    std::int64_t lastClockSecond_ = -1; // local seconds since the epoch at the previous tick
};

} // namespace keying
