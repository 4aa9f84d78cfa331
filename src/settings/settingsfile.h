// The settings file "VANTREL.SET": one little-endian record of 3104 bytes in the
// current working directory. The record buffer lives for the whole run: bytes
// that no field covers keep what the file held (zero when nothing was read) and
// are written back unchanged. UI thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kRecordSize = 3104;
inline constexpr const char* kSettingsFileName = "VANTREL.SET";

using SettingsBytes = std::array<std::uint8_t, kRecordSize>;
extern SettingsBytes SettingsRecord;

// Field offsets in the record.
namespace record {
inline constexpr std::size_t DfcwMode = 0, DfcwToneOn = 1, SidetoneOn = 2, UseSpeaker = 3,
    FskNormal = 4, PortNumber = 8, DotLength = 12, TextNumber = 16, RepeatCount = 20,
    RepeatInterval = 24, TxDelay = 28, RxDelay = 32, QskMode = 36, RatioCode = 37,
    AlarmTime = 38, SidetoneFreq = 40, DotToneFreq = 48, DashToneFreq = 56, SoundLevel = 64,
    KeyGap = 72, Texts = 76, TextSlot = 251, StartIdEnabled = 3088, StopIdEnabled = 3089,
    IdWpm = 3090, SyncPeriod = 3091, ComSwap = 3094, OmitKeyGaps = 3095, LptWiring = 3096;
}

// Copies every field of SettingsRecord into its setting (no validation).
void DecodeSettingsRecord();
// Copies every setting into its field of SettingsRecord; other bytes stay.
void EncodeSettingsRecord();

// Reads the record from `path` into SettingsRecord and, when all 3104 bytes
// were read, into the settings. A missing, unreadable or short file leaves the
// settings as they are (the caller has set the defaults). Returns whether the
// settings were taken from the file.
bool LoadSettings(const std::string& path = kSettingsFileName);

// Encodes the settings and replaces `path` with the record: the bytes go to a
// temporary file beside it, are flushed to disk and renamed over the old file,
// so a failure at any point leaves the old file whole. An existing file that is
// not writable is left alone, as before. Returns false, with one line on
// standard error, when the file was not replaced.
bool SaveSettings(const std::string& path = kSettingsFileName);
