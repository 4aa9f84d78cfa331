// The values the setup dialogs accept for each setting, in one place: the
// dialogs check their fields with these, and vantrel-settings checks what a
// shell gives it with the same rules. Plain functions without state.
#pragma once

#include <array>
#include <cstdint>

// Dot length and key gap are entered in whole seconds.
bool DotSecondsValid(std::int64_t seconds);    // 1..3599
bool KeyGapSecondsValid(std::int64_t seconds); // 0..3599
inline constexpr std::int32_t kMaxElementSeconds = 3599;

// Frequencies of the sidetone and the DFCW tones, and the sound card level,
// before they are rounded to tenths.
bool ToneHzValid(double hz);       // 20..20000
bool SoundLevelValid(double level); // 0..100
// Rounded to the nearest tenth, a tie to the even tenth.
double RoundToTenth(double value);

// Repeat count and interval: one byte each, never cut to its low byte.
bool RepeatByteValid(std::int64_t value); // 0..255
// The alarm's three digits of seconds.
bool AlarmSecondsValid(std::int64_t seconds); // 0..999

// The choices of the radio groups, by item index.
inline constexpr std::array<std::int32_t, 4> kQskDelays{0, 100, 300, 1000}; // ms, TX and RX delay
inline constexpr std::array<std::uint8_t, 4> kIdSpeeds{6, 9, 12, 15};       // WPM
inline constexpr std::uint8_t kMaxSyncPeriod = 6;
inline constexpr std::uint8_t kMaxQskMode = 3;

// The mode dialog's items: QRSS with dash-dot ratio 3 or 2, DFCW with a
// single, double or half space.
struct ModeChoice {
    bool dfcw;
    std::uint8_t code;
};
inline constexpr std::array<ModeChoice, 5> kModeChoices{{{false, 3}, {false, 2}, {true, 1}, {true, 2}, {true, 0}}};
bool ModeChoiceValid(bool dfcw, std::uint8_t ratioCode);

// PortNumber: none, COM1..COM9, LPT1, LPT2.
bool PortNumberValid(std::int64_t port);

// The alarm chirps on the PC speaker: the dialogs never leave it armed while
// that speaker sounds the sidetone.
bool AlarmCutsSidetone(std::uint16_t alarmSeconds, bool sidetoneOn, bool useSpeaker);
