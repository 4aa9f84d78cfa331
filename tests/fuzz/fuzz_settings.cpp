// Any bytes as a settings file: the load takes them, the settings select
// nothing outside their tables, and a save and load again is stable. Then
// whole transmissions on those settings, with clock steps from the bytes
// after the record, checked for the keying invariants.
#include "keying/grabber.h"
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
#include <iterator>
#include <utility>
#include <vector>
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

// Clock steps: the bytes after the record, three per step (at most four): the
// tick after which the local clock steps (two bytes) and the step from a table
// of daylight saving changes, corrections, slewing and a clock set days ahead.
std::vector<std::pair<int, std::int64_t>> ClockSteps(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::int64_t kStepMs[] = {3600000, -3600000, 1800000, -1800000, 90000, -90000, 59000,
                                               -59000, 1500, -1500, 900, -900, 7200000, -7200000,
                                               3 * 86400000LL, -100};
    std::vector<std::pair<int, std::int64_t>> steps;
    for (std::size_t at = kRecordSize; at + 3 <= size && steps.size() < 4; at += 3)
        steps.emplace_back(data[at] | data[at + 1] << 8, kStepMs[data[at + 2] % std::size(kStepMs)]);
    std::sort(steps.begin(), steps.end());
    return steps;
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
    const auto steps = ClockSteps(data, size);
    int ticks = 0;
    for (const auto& [tick, ms] : steps) {
        while (ticks < tick && !run.engine.Display.CloseRequested) {
            run.Tick();
            ++ticks;
        }
        run.Jump(ms);
    }
    run.Run(kLimitMs - run.Elapsed());
    const std::size_t stop = run.events.size();
    run.engine.Cancel();
    run.engine.Close();
    const std::int64_t end = run.clock.Abs();
    const LineCheck c = CheckLines(run.events, end, stop);
    const std::int64_t hours = run.Elapsed() / 3600000 + 1;
    if (c.longestKeyDown > LongestKeyDown())
        std::abort();
    if (!DfcwMode && c.keyWithoutPtt >= 0)
        std::abort();
    if (c.pttPushes > 2000 * hours)
        std::abort();
    if (c.keyAtEnd || c.pttAtEnd || c.onSince)
        std::abort();
    // Transmissions begin the repeat interval apart on the tick count, whatever the clock did.
    const auto starts = TransmissionStarts(run.events);
    for (std::size_t i = 1; i < starts.size() && RepeatInterval != 0; ++i)
        if (starts[i].mono - starts[i - 1].mono < std::int64_t{run.engine.R.IntervalMinutes} * 60000)
            std::abort();

    // Its grabber picture, on the file's tones (any doubles) or a shift.
    const double shift = size > 1 ? data[1] - 128.0 : 5;
    const keying::GrabberTones tones = keying::TonesOfSettings(size > 2 && (data[2] & 1) ? &shift : nullptr);
    const auto marks = keying::MarksOf(run.events, tones, end);
    for (std::size_t i = 0; i < marks.size(); ++i)
        if (marks[i].from >= marks[i].to || (i > 0 && marks[i].from < marks[i - 1].to))
            std::abort();
    keying::GrabberOptions options;
    options.frameMinutes = size > 3 ? 10 + data[3] % 51 : 10;
    options.frameWidth = 60;
    const keying::GrabberPicture p = keying::RenderGrabber(marks, tones, run.startAbs, end, options);
    if (p.width != p.left + p.frames * 60 || p.rgb.size() != std::size_t(p.width) * std::size_t(p.height) * 3
        || p.startAbs > run.startAbs || p.startAbs + std::int64_t{p.frames} * options.frameMinutes * 60000 < end)
        std::abort();
    return 0;
}
