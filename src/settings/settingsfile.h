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

// The file that `path` names once symbolic links are followed; it need not
// exist (a link to a file not made yet). Empty for a loop of links.
std::string FollowLinks(const std::string& path);

// What a save did, for the window layer to tell the user.
struct SettingsSaveResult {
    bool Saved = false;
    bool ReadOnly = false;  // not saved because the file is read-only
    std::string Problem;    // why it was not saved; empty when saved
    std::string KeptAs;     // where an old file of the wrong length was kept
};

// Encodes the settings and writes the record to `path`, through symbolic
// links to their target. The bytes go to a temporary file beside the target
// that takes the old file's owner and mode, is flushed and renamed over it, so
// a failure leaves the old file whole. Where no such file can be made (a
// folder that is not writable, an owner this user cannot give), the file is
// rewritten in place and flushed instead. A read-only file is left alone. An
// old file of the wrong length is kept beside the new one first (name.bad),
// and temporary files of an earlier, killed save are removed.
SettingsSaveResult SaveSettingsFile(const std::string& path = kSettingsFileName);

// One line on standard error when the file was not saved or an old one kept.
void PrintSaveResult(const SettingsSaveResult& result, const std::string& path = kSettingsFileName);

// SaveSettingsFile and PrintSaveResult; returns whether the file was saved.
bool SaveSettings(const std::string& path = kSettingsFileName);

// What the user should know at start-up about the file at `path`: that it is
// read-only and will not take this run's changes, that it has the wrong
// length (the defaults are used; it is kept at the save), or that it is no
// regular file. Empty when there is nothing to tell.
std::string SettingsFileNotice(const std::string& path = kSettingsFileName);
