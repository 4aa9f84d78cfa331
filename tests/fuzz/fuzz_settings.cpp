// Any bytes as a settings file: the load takes them, the settings select
// nothing outside their tables, and a save and load again is stable. Then
// whole transmissions on those settings, checked for the keying invariants.
#include "keying/linecheck.h"
#include "keying/timeline.h"
#include "morse/duration.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void CheckFile(const std::uint8_t* data, std::size_t size)
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
}

// Keeps one run within a few simulated hours: at most two messages of at
// most an hour each, repeats at most 10 minutes apart.
void BoundTheRun()
{
    using keying::KeyEngine;
    std::string& text = Texts[static_cast<std::size_t>(SelectedTextNumber())];
    while (!text.empty() && TextDuration(text, KeyEngine::HeldDot(), KeyEngine::HeldKeyGap(), 0) > 3600)
        text.pop_back();
    RepeatCount = RepeatCount == 0 ? 2 : std::min<std::uint8_t>(RepeatCount, 2);
    RepeatInterval = std::min<std::uint8_t>(RepeatInterval, 10);
}

// The longest key-down the held settings allow: a QRSS dash slot less its
// margin (after a PTT lead, plus the TX delay); a DFCW mark, or a run of
// marks of one character where key gaps are left out; a tick to release it.
std::int64_t LongestKeyDown()
{
    using keying::KeyEngine;
    const std::int64_t dot = KeyEngine::HeldDot();
    if (!DfcwMode)
        return 3 * dot + KeyEngine::HeldDelay(TxDelay) + 200;
    if (KeyEngine::HeldKeyGap() > 0 && !OmitKeyGaps)
        return dot + 200;
    return 10 * dot + 200;
}

// Characters without Morse, which the keying passes over: lower case, and
// characters without a pattern put between the selected text's characters
// and the identifications' (as far as the texts stay short strings).
void PutInUnkeyable(std::uint8_t seed)
{
    static const std::string without = ",:;'<-=!\x01\x1f\x7f\x80\xC9\xE9\xFF";
    for (std::string* text : {&Texts[static_cast<std::size_t>(SelectedTextNumber())], &StartId.Text, &StopId.Text}) {
        std::string out;
        for (std::size_t i = 0; i < text->size(); ++i)
            out += {without[(i + seed) % without.size()], static_cast<char>(std::tolower(static_cast<unsigned char>((*text)[i])))};
        *text = Short(out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckFile(data, size);
    if (size > 0 && (data[size - 1] & 1) != 0)
        PutInUnkeyable(data[size - 1]);
    BoundTheRun();
    RunKind = kRunTransmit;
    StartImmediately = (size > 0 && (data[0] & 0x80) != 0) || size == 0;
    StartTime = "000001";
    StopTime.clear();
    TimelineRun run;
    run.Start(0);
    constexpr std::int64_t kLimitMs = 6 * 3600000LL;
    run.Run(kLimitMs);
    const std::size_t stop = run.events.size();
    run.engine.Cancel();
    run.engine.Close();
    const std::int64_t end = run.clock.Abs();
    const LineCheck c = CheckLines(run.events, end, stop);
    const std::int64_t hours = (end - run.startAbs) / 3600000 + 1;
    if (c.longestKeyDown > LongestKeyDown())
        std::abort();
    if (!DfcwMode && c.keyWithoutPtt >= 0)
        std::abort();
    if (c.pttPushes > 2000 * hours)
        std::abort();
    if (c.keyAtEnd || c.pttAtEnd || c.onSince)
        std::abort();
    return 0;
}
