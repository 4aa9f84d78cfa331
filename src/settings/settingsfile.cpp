#include "settingsfile.h"

#include "settings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SettingsBytes SettingsRecord{};

namespace {

std::uint8_t& At(std::size_t offset) { return SettingsRecord[offset]; }

std::uint32_t ReadU32(std::size_t offset)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | At(offset + static_cast<std::size_t>(i));
    return v;
}

void WriteU32(std::size_t offset, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        At(offset + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int32_t ReadI32(std::size_t offset) { return static_cast<std::int32_t>(ReadU32(offset)); }
void WriteI32(std::size_t offset, std::int32_t v) { WriteU32(offset, static_cast<std::uint32_t>(v)); }

double ReadDouble(std::size_t offset)
{
    std::uint64_t bits = static_cast<std::uint64_t>(ReadU32(offset + 4)) << 32 | ReadU32(offset);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void WriteDouble(std::size_t offset, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteU32(offset, static_cast<std::uint32_t>(bits));
    WriteU32(offset + 4, static_cast<std::uint32_t>(bits >> 32));
}

std::size_t TextOffset(int k) { return record::Texts + record::TextSlot * static_cast<std::size_t>(k - 1); }

std::string ReadText(int k)
{
    const std::size_t at = TextOffset(k);
    const std::size_t length = std::min<std::size_t>(At(at), kTextMax);
    return std::string(reinterpret_cast<const char*>(&At(at + 1)), length);
}

void WriteText(int k, const std::string& text)
{
    const std::string cut = Short(text);
    const std::size_t at = TextOffset(k);
    At(at) = static_cast<std::uint8_t>(cut.size());
    std::memcpy(&At(at + 1), cut.data(), cut.size());
}

bool ReadBool(std::size_t offset) { return At(offset) != 0; }
void WriteBool(std::size_t offset, bool v) { At(offset) = v ? 1 : 0; }

} // namespace

void DecodeSettingsRecord()
{
    DfcwMode = ReadBool(record::DfcwMode);
    DfcwToneOn = ReadBool(record::DfcwToneOn);
    SidetoneOn = ReadBool(record::SidetoneOn);
    UseSpeaker = ReadBool(record::UseSpeaker);
    FskNormal = ReadBool(record::FskNormal);
    PortNumber = At(record::PortNumber);
    DotLength = ReadI32(record::DotLength);
    TextNumber = At(record::TextNumber);
    RepeatCount = At(record::RepeatCount);
    RepeatInterval = At(record::RepeatInterval);
    TxDelay = ReadI32(record::TxDelay);
    RxDelay = ReadI32(record::RxDelay);
    QskMode = At(record::QskMode);
    RatioCode = At(record::RatioCode);
    AlarmTime = static_cast<std::uint16_t>(At(record::AlarmTime) | At(record::AlarmTime + 1) << 8);
    SidetoneFreq = ReadDouble(record::SidetoneFreq);
    DotToneFreq = ReadDouble(record::DotToneFreq);
    DashToneFreq = ReadDouble(record::DashToneFreq);
    SoundLevel = ReadDouble(record::SoundLevel);
    KeyGap = ReadI32(record::KeyGap);
    for (int k = 1; k <= 12; ++k)
        Texts[static_cast<std::size_t>(k)] = ReadText(k);
    StartId.Text = Texts[kStartIdText];
    StopId.Text = Texts[kStopIdText];
    StartId.Enabled = ReadBool(record::StartIdEnabled);
    StopId.Enabled = ReadBool(record::StopIdEnabled);
    StartId.Wpm = StopId.Wpm = At(record::IdWpm);
    SyncPeriod = At(record::SyncPeriod);
    ComSwap = ReadBool(record::ComSwap);
    OmitKeyGaps = ReadBool(record::OmitKeyGaps);
    LptWiring = At(record::LptWiring);
}

void EncodeSettingsRecord()
{
    WriteBool(record::DfcwMode, DfcwMode);
    WriteBool(record::DfcwToneOn, DfcwToneOn);
    WriteBool(record::SidetoneOn, SidetoneOn);
    WriteBool(record::UseSpeaker, UseSpeaker);
    WriteBool(record::FskNormal, FskNormal);
    WriteU32(record::PortNumber, PortNumber);
    WriteI32(record::DotLength, DotLength);
    At(record::TextNumber) = TextNumber;
    WriteU32(record::RepeatCount, RepeatCount);
    WriteU32(record::RepeatInterval, RepeatInterval);
    WriteI32(record::TxDelay, TxDelay);
    WriteI32(record::RxDelay, RxDelay);
    At(record::QskMode) = QskMode;
    At(record::RatioCode) = RatioCode;
    At(record::AlarmTime) = static_cast<std::uint8_t>(AlarmTime);
    At(record::AlarmTime + 1) = static_cast<std::uint8_t>(AlarmTime >> 8);
    WriteDouble(record::SidetoneFreq, SidetoneFreq);
    WriteDouble(record::DotToneFreq, DotToneFreq);
    WriteDouble(record::DashToneFreq, DashToneFreq);
    WriteDouble(record::SoundLevel, SoundLevel);
    WriteI32(record::KeyGap, KeyGap);
    for (int k = 1; k <= 12; ++k)
        WriteText(k, Texts[static_cast<std::size_t>(k)]);
    WriteBool(record::StartIdEnabled, StartId.Enabled);
    WriteBool(record::StopIdEnabled, StopId.Enabled);
    At(record::IdWpm) = StopId.Wpm;
    At(record::SyncPeriod) = SyncPeriod;
    WriteBool(record::ComSwap, ComSwap);
    WriteBool(record::OmitKeyGaps, OmitKeyGaps);
    At(record::LptWiring) = LptWiring;
}

bool LoadSettings(const std::string& path)
{
    // Only a regular file: opening a pipe would wait for a writer, a serial
    // device would raise its lines. Looked at before the opening, and the
    // opening itself never waits, should the name change hands in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::size_t got = 0;
    while (got < kRecordSize) {
        const ssize_t n = ::read(fd, SettingsRecord.data() + got, kRecordSize - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got < kRecordSize)
        return false;
    DecodeSettingsRecord();
    return true;
}
