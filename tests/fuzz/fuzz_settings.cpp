// Any bytes as a settings file: the load takes them, the settings select
// nothing outside their tables, and a save and load again is stable. Then
// whole transmissions on those settings, checked for the keying invariants.
#include "keying/linecheck.h"
#include "keying/timeline.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

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

// ---- Characters without Morse ----------------------------------------------
// Lower case and characters without a pattern are keyed as nothing and take no
// time: the selected text and the identifications with such characters put
// between theirs key line for line as their upper-cased text without them.

std::string WithoutUnkeyable(const std::string& text)
{
    std::string kept;
    for (const char c : PreparedText(text))
        if (!SendsNothing(c))
            kept += c;
    return kept;
}

// `text` lower-cased, with characters without a pattern put in while it
// stays a short string; `seed` picks them and where they go.
std::string WithUnkeyable(const std::string& text, std::uint8_t seed)
{
    static const std::string without = ",:;'<-=!\x01\x1f\x7f\x80\xC9\xE9\xFF";
    std::string out;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if ((i + seed) % 3 != 0 && out.size() + (text.size() - i) < kTextMax)
            out += without[(i * 7 + seed) % without.size()];
        if (i < text.size())
            out += text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    }
    return out;
}

using Lines = std::vector<std::tuple<std::int64_t, int, bool>>;

Lines RunLines(std::int64_t limitMs)
{
    StartTime = "000001";
    TimelineRun run;
    run.Start(0);
    run.Run(limitMs);
    run.engine.Close();
    Lines lines;
    for (const auto& e : run.events)
        if (e.kind != TimelineEvent::State)
            lines.emplace_back(e.at - run.startAbs, e.kind, e.level);
    return lines;
}

void CheckUnkeyableCharacters(std::uint8_t seed, std::int64_t limitMs)
{
    std::string& text = Texts[static_cast<std::size_t>(SelectedTextNumber())];
    const std::string message = text, start = StartId.Text, stop = StopId.Text;
    text = WithoutUnkeyable(message);
    StartId.Text = WithoutUnkeyable(start);
    StopId.Text = WithoutUnkeyable(stop);
    const Lines clean = RunLines(limitMs);
    text = WithUnkeyable(text, seed);
    StartId.Text = WithUnkeyable(StartId.Text, seed);
    StopId.Text = WithUnkeyable(StopId.Text, seed);
    if (RunLines(limitMs) != clean)
        std::abort();
    text = message;
    StartId.Text = start;
    StopId.Text = stop;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckFile(data, size);
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
    CheckUnkeyableCharacters(size > 1 ? data[1] : 0, kLimitMs);
    return 0;
}
