// The settings of Vantrel: plain globals that every window reads and the setup
// dialogs assign in place. Loaded once at start-up and saved once at exit
// (settingsfile.h). UI thread only; there are no locks.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// A short string holds at most this many single-byte characters.
inline constexpr std::size_t kTextMax = 250;
inline constexpr std::size_t kShortMax = 10;

// Cuts a byte string to a short string of at most `max` characters.
std::string Short(const std::string& text, std::size_t max = kTextMax);

struct IdSetting {
    std::string Text;    // at most 250 characters
    bool Enabled = false;
    std::uint8_t Wpm = 6; // 6, 9, 12 or 15
};

// Port selector values of PortNumber.
inline constexpr std::uint8_t kPortNone = 0;
inline constexpr std::uint8_t kPortLpt1 = 20;
inline constexpr std::uint8_t kPortLpt2 = 21;
// Lines of a GPIO chip, as VANTREL.PORTS names them.
inline constexpr std::uint8_t kPortGpio = 30;
// A radio's PTT by CAT (Hamlib), as VANTREL.PORTS names it.
inline constexpr std::uint8_t kPortHamlib = 31;

// LptWiring values.
inline constexpr std::uint8_t kWiringStandard = 0x56;
inline constexpr std::uint8_t kWiringDx4win = 0x44;

// Indexes of the identification texts in Texts.
inline constexpr int kStartIdText = 11;
inline constexpr int kStopIdText = 12;

// ---- Persisted settings ------------------------------------------------------
extern bool DfcwMode;             // false = QRSS, true = DFCW
extern std::uint8_t RatioCode;    // QRSS: 3 or 2 (dash-dot ratio); DFCW: 1 single, 2 double, 0 half space
extern std::int32_t DotLength;    // ms
extern std::int32_t KeyGap;       // ms, DFCW only
extern bool FskNormal;
extern bool OmitKeyGaps;
extern std::uint8_t TextNumber;   // 1..10
// Texts[1]..Texts[10] message texts, [11] start ID, [12] stop ID; [0] is unused
// so that the numbers read as they do everywhere else.
extern std::array<std::string, 13> Texts;
extern std::uint8_t PortNumber;   // 0 none, 1..9 COM1..COM9, 20 LPT1, 21 LPT2, 30 GPIO, 31 Radio
extern bool ComSwap;
extern std::uint8_t LptWiring;
extern std::uint8_t RepeatCount;  // 0 = endless
extern std::uint8_t RepeatInterval; // minutes, 0 = non-stop
extern std::uint8_t SyncPeriod;   // 0..6
extern std::uint8_t QskMode;      // 0..3
extern std::int32_t TxDelay;      // ms
extern std::int32_t RxDelay;      // ms
extern IdSetting StartId;
extern IdSetting StopId;
extern bool SidetoneOn;
extern bool DfcwToneOn;
extern bool UseSpeaker;
extern double SidetoneFreq;       // Hz
extern double DotToneFreq;        // Hz
extern double DashToneFreq;       // Hz
extern double SoundLevel;         // 0..100
extern std::uint16_t AlarmTime;   // s, 0 = off

// ---- Run-time globals (not persisted) ----------------------------------------
extern std::string StartTime;     // "HHMMSS"
extern std::string StopTime;      // "HHMMSS" or empty
extern std::string VersionText;
extern std::string VersionDate;
extern bool DialogCancelled;
extern bool EditingId;
extern bool AutoStart;
extern bool StartImmediately;
extern std::uint8_t RunKind;      // see the RunKind values below

inline constexpr std::uint8_t kRunTransmit = 0;
inline constexpr std::uint8_t kRunOpenPort = 1;
inline constexpr std::uint8_t kRunReleasePort = 2;
inline constexpr std::uint8_t kRunTest = 3;
inline constexpr std::uint8_t kRunQso = 4;

// Sets every persisted setting to its default and the run-time globals to their
// start values. Serves start-up and tests alike.
void SetDefaultSettings();

// The settings file may hold any byte in any field, and the load takes them as
// they are, so that a save writes them back unchanged. Where a value picks an
// entry of a table, these give the value to use: the setting's default when
// the stored one is outside its range.
int SelectedTextNumber();                 // 1..10
std::uint8_t EffectiveSyncPeriod();       // 0..6
std::uint8_t EffectiveQskMode();          // 0..3

// The dot length and key gap as they are keyed, in ms: a value from an edited
// file held to the speed dialog's range (1..3599 s, 0..3599 s). The keying,
// every duration shown and the repeat check use these, so that what is timed
// is what is sent.
std::int32_t HeldDotLength(std::int32_t ms);
std::int32_t HeldDotLength();             // of DotLength
std::int32_t HeldKeyGap();                // of KeyGap
