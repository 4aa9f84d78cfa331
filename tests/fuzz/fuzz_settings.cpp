// Any bytes as a settings file: the load takes them, the settings select
// nothing outside their tables, and a save and load again is stable.
#include "keying/timeline.h"
#include "morse/duration.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetDefaultSettings();
    SettingsRecord.fill(0);
    std::memcpy(SettingsRecord.data(), data, std::min(size, SettingsRecord.size()));
    DecodeSettingsRecord();
    if (SelectedTextNumber() < 1 || SelectedTextNumber() > 10 || EffectiveSyncPeriod() > 6 || EffectiveQskMode() > 3)
        std::abort();
    for (const auto& text : Texts)
        if (text.size() > kTextMax)
            std::abort();
    (void)RepeatTimeExceeded();
    (void)DurationText(TextDuration(Texts[1], DotLength, KeyGap, StartId.Wpm));
    EncodeSettingsRecord();
    const SettingsBytes once = SettingsRecord;
    DecodeSettingsRecord();
    EncodeSettingsRecord();
    if (once != SettingsRecord)
        std::abort();

    // The engine on these settings: a minute of simulated transmission.
    RunKind = kRunTransmit;
    StartImmediately = (size > 0 && (data[0] & 0x80) != 0) || size == 0;
    StartTime = "000001";
    TimelineRun run;
    run.Start(0);
    run.Run(60000);
    run.engine.Cancel();
    return 0;
}
