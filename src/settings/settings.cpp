#include "settings.h"

#include <algorithm>

bool DfcwMode;
std::uint8_t RatioCode;
std::int32_t DotLength;
std::int32_t KeyGap;
bool FskNormal;
bool OmitKeyGaps;
std::uint8_t TextNumber;
std::array<std::string, 13> Texts;
std::uint8_t PortNumber;
bool ComSwap;
std::uint8_t LptWiring;
std::uint8_t RepeatCount;
std::uint8_t RepeatInterval;
std::uint8_t SyncPeriod;
std::uint8_t QskMode;
std::int32_t TxDelay;
std::int32_t RxDelay;
IdSetting StartId;
IdSetting StopId;
bool SidetoneOn;
bool DfcwToneOn;
bool UseSpeaker;
double SidetoneFreq;
double DotToneFreq;
double DashToneFreq;
double SoundLevel;
std::uint16_t AlarmTime;

std::string StartTime;
std::string StopTime;
std::string VersionText;
std::string VersionDate;
bool DialogCancelled;
bool EditingId;
bool AutoStart;
bool StartImmediately;
std::uint8_t RunKind;

std::string Short(const std::string& text, std::size_t max)
{
    return text.size() <= max ? text : text.substr(0, max);
}

void SetDefaultSettings()
{
    DfcwMode = false;
    RatioCode = 3;
    DotLength = 1000;
    KeyGap = 0;
    FskNormal = true;
    OmitKeyGaps = false;
    TextNumber = 1;
    for (auto& text : Texts)
        text.clear();
    PortNumber = kPortNone;
    ComSwap = false;
    LptWiring = kWiringStandard;
    RepeatCount = 1;
    RepeatInterval = 0;
    SyncPeriod = 0;
    QskMode = 0;
    TxDelay = 100;
    RxDelay = 100;
    StartId = IdSetting{};
    StopId = IdSetting{};
    SidetoneOn = false;
    DfcwToneOn = false;
    UseSpeaker = true;
    SidetoneFreq = 800.0;
    DotToneFreq = 400.0;
    DashToneFreq = 404.0;
    SoundLevel = 50.0;
    AlarmTime = 0;

    StartTime = "000000";
    StopTime.clear();
    VersionText = "4.14";
    VersionDate = "21 August 2013";
    DialogCancelled = false;
    EditingId = false;
    AutoStart = false;
    StartImmediately = false;
    RunKind = kRunTransmit;
}

int SelectedTextNumber()
{
    return TextNumber >= 1 && TextNumber <= 10 ? TextNumber : 1;
}

std::uint8_t EffectiveSyncPeriod()
{
    return SyncPeriod <= 6 ? SyncPeriod : 0;
}

std::uint8_t EffectiveQskMode()
{
    return QskMode <= 3 ? QskMode : 0;
}

std::int32_t HeldDotLength(std::int32_t ms) { return std::clamp(ms, 1000, 3599000); }
std::int32_t HeldDotLength() { return HeldDotLength(DotLength); }
std::int32_t HeldKeyGap() { return std::clamp(KeyGap, 0, 3599000); }
