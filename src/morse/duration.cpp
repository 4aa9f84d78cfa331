#include "duration.h"

#include "morse.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>

namespace {

struct SymbolTimes {
    double dot, dash, space; // ms
    bool keyGaps;            // DFCW message timing: a key gap may follow an element
};

SymbolTimes Times(double d, std::uint8_t wpm)
{
    if (d <= 0) {
        // A speed the dialogs never give (0) is read as the default 6 WPM.
        const double w = wpm == 0 ? 6.0 : wpm;
        return {2400.0 / w, 4800.0 / w, 2400.0 / w, false};
    }
    if (!DfcwMode) {
        // Ratio 2 is the only other QRSS choice; every other code times as ratio 3.
        return {2 * d, RatioCode == 2 ? 3 * d : 4 * d, 2 * d, false};
    }
    // DFCW: 2 double space, 0 half space; every other code times as single space.
    const double space = RatioCode == 2 ? 2 * d : RatioCode == 0 ? d / 2 : d;
    return {d, d, space, true};
}

} // namespace

std::int32_t TextDuration(const std::string& stored, std::int32_t dotLengthMs, std::int32_t keyGapMs,
                          std::uint8_t wpm)
{
    const SymbolTimes times = Times(dotLengthMs, wpm);
    // Timed as it is keyed: upper-cased, and the characters that send nothing
    // left out, so that the last one that sends something ends the text.
    const std::string text = PreparedText(stored);
    std::size_t length = text.size();
    while (length > 0 && SendsNothing(text[length - 1]))
        --length;
    double total = 0;
    for (std::size_t p = 1; p <= length; ++p) {
        std::string pattern = MorsePattern(text[p - 1]);
        // Nothing is counted after the last element of the text.
        if (p == length && pattern != " " && !pattern.empty())
            pattern.pop_back();
        const std::size_t n = pattern.size();
        for (std::size_t i = 1; i <= n; ++i) {
            const char symbol = pattern[i - 1];
            if (symbol == ' ') {
                total += times.space;
                continue;
            }
            total += symbol == '.' ? times.dot : times.dash;
            const bool lastOfText = p == length && i == n;
            if (!times.keyGaps || lastOfText)
                continue;
            if (!OmitKeyGaps || (i < n && pattern[i] == symbol))
                total += keyGapMs;
        }
    }
    // Settings edited outside the program can give any int32 dot length or gap.
    const double seconds = std::nearbyint(total / 1000.0);
    return static_cast<std::int32_t>(std::clamp(seconds, 0.0, double(INT32_MAX)));
}

std::string DurationText(std::int32_t seconds)
{
    // The widest form that fits a short string of 10 characters is 999999'59";
    // only dot lengths and gaps edited into the settings file reach beyond it.
    if (seconds >= 1000000 * 60)
        return "999999'59\"";
    const std::int32_t s = std::max(seconds, 0);
    const std::int32_t m = s / 60, r = s % 60;
    return std::to_string(m) + '\'' + TwoDigits(r) + '"';
}

std::int64_t TransmissionSeconds()
{
    const std::string& text = Texts[static_cast<std::size_t>(SelectedTextNumber())];
    std::int64_t t = TextDuration(text, HeldDotLength(), HeldKeyGap(), 0) + 5;
    if (StartId.Enabled)
        t += TextDuration(StartId.Text, 0, 0, StartId.Wpm) + 3;
    if (StopId.Enabled)
        t += TextDuration(StopId.Text, 0, 0, StopId.Wpm) + 3;
    return t;
}

bool RepeatTimeExceeded()
{
    if (RepeatInterval == 0 || RepeatCount == 1)
        return false;
    return TransmissionSeconds() >= std::int64_t{RepeatInterval} * 60;
}

bool NothingToKey()
{
    const std::string& text = Texts[static_cast<std::size_t>(SelectedTextNumber())];
    const auto keys = [](const IdSetting& id) { return id.Enabled && !KeysNoMark(id.Text); };
    return KeysNoMark(text) && !keys(StartId) && !keys(StopId);
}

std::string NothingToSendReason()
{
    const int n = SelectedTextNumber();
    const std::string text = Texts[static_cast<std::size_t>(n)];
    // An empty text is a text not yet written, whatever the identifications send.
    if (TrimSpaces(text).empty())
        return "Text " + std::to_string(n) + " is empty : nothing to transmit";
    if (NothingToKey())
        return "Text " + std::to_string(n) + " has no Morse character : nothing to transmit";
    return {};
}
