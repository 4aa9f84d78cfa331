#include "settingrules.h"

#include "settings.h"

#include <cmath>

bool DotSecondsValid(std::int64_t seconds) { return seconds >= 1 && seconds <= kMaxElementSeconds; }
bool KeyGapSecondsValid(std::int64_t seconds) { return seconds >= 0 && seconds <= kMaxElementSeconds; }

bool ToneHzValid(double hz) { return hz >= 20 && hz <= 20000; }
bool SoundLevelValid(double level) { return level >= 0 && level <= 100; }

double RoundToTenth(double value)
{
    // nearbyint rounds halves to even in the default rounding mode.
    return std::nearbyint(value * 10) / 10;
}

bool RepeatByteValid(std::int64_t value) { return value >= 0 && value <= 255; }
bool AlarmSecondsValid(std::int64_t seconds) { return seconds >= 0 && seconds <= 999; }

bool ModeChoiceValid(bool dfcw, std::uint8_t ratioCode)
{
    for (const ModeChoice& choice : kModeChoices)
        if (choice.dfcw == dfcw && choice.code == ratioCode)
            return true;
    return false;
}

bool PortNumberValid(std::int64_t port)
{
    return (port >= kPortNone && port <= 9) || port == kPortLpt1 || port == kPortLpt2 || port == kPortGpio
        || port == kPortHamlib;
}

bool AlarmCutsSidetone(std::uint16_t alarmSeconds, bool sidetoneOn, bool useSpeaker)
{
    return alarmSeconds != 0 && sidetoneOn && useSpeaker;
}
