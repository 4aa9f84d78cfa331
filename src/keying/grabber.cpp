#include "grabber.h"

#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace keying {

namespace {

constexpr std::int32_t kRows = 160;      // waterfall rows
constexpr std::int32_t kStrip = 11;      // label strip above it
constexpr double kMinSpanHz = 10;        // a single tone still shows its neighbourhood
constexpr double kTraceSigmaRows = 1.3;  // a trace's half width: the receiver's resolution
constexpr double kMarkPower = 1000;      // a mark 30 dB above the mean noise
constexpr double kFloorDb = -7, kRangeDb = 37;
// Brightness steps: with the few colours of the scale and labels the picture
// has fewer than 256 colours, so that it can be stored with a palette.
constexpr double kLevels = 191;

// 5 x 7 glyphs, rows from the top, '#' set.
struct Glyph {
    char c;
    const char* rows;
};
constexpr Glyph kFont[] = {
    {'0', ".###.#...##..###.#.###..##...#.###."},
    {'1', "..#...##....#....#....#....#...###."},
    {'2', ".###.#...#....#...#...#...#...#####"},
    {'3', "#####...#...#.....#.....##...#.###."},
    {'4', "...#...##..#.#.#..#.#####...#....#."},
    {'5', "######....####.....#....##...#.###."},
    {'6', "..##..#...#....####.#...##...#.###."},
    {'7', "#####....#...#...#...#....#....#..."},
    {'8', ".###.#...##...#.###.#...##...#.###."},
    {'9', ".###.#...##...#.####....#...#..##.."},
    {':', "......##...##........##...##......."},
    {'.', "..........................##...##.."},
    {'+', ".......#....#..#####..#....#......."},
    {'-', "...............#####..............."},
    {'U', "#...##...##...##...##...##...#.###."},
    {'T', "#####..#....#....#....#....#....#.."},
    {'C', ".###.#...##....#....#....#...#.###."},
    {'H', "#...##...##...#######...##...##...#"},
    {'z', "..........#####...#...#...#...#####"},
};

const Glyph* GlyphOf(char c)
{
    for (const Glyph& g : kFont)
        if (g.c == c)
            return &g;
    return nullptr;
}

void SetPixel(GrabberPicture& p, std::int32_t x, std::int32_t y, const std::uint8_t* rgb)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height)
        return;
    auto* out = &p.rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)) * 3];
    std::copy(rgb, rgb + 3, out);
}

// Text in the small font, its top left at x, y, cut at `right`.
void DrawText(GrabberPicture& p, std::int32_t x, std::int32_t y, const std::string& text, std::int32_t right)
{
    static constexpr std::uint8_t ink[3] = {210, 210, 210};
    for (const char c : text) {
        if (x + 5 > right)
            return;
        if (const Glyph* g = GlyphOf(c)) {
            for (int i = 0; i < 35; ++i)
                if (g->rows[i] == '#')
                    SetPixel(p, x + i % 5, y + i / 5, ink);
        }
        x += 6;
    }
}

// The weight a column gives a moment: 1 within [c0, c1), falling linearly to
// 0 over `soft` on both sides, as a waterfall's overlapping analysis windows
// blur a key edge. Primitive of that weight from the far past up to t.
double WeightBefore(double t, double c0, double c1, double soft)
{
    if (t <= c0 - soft)
        return 0;
    if (t <= c0)
        return (t - (c0 - soft)) * (t - (c0 - soft)) / (2 * soft);
    if (t <= c1)
        return soft / 2 + (t - c0);
    if (t <= c1 + soft)
        return soft / 2 + (c1 - c0) + soft / 2 - (c1 + soft - t) * (c1 + soft - t) / (2 * soft);
    return soft + (c1 - c0);
}

// Noise power of one pixel: exponentially distributed with mean 1 (the power
// of Gaussian noise in one analysis bin), from a hash of its place.
double NoisePower(std::uint64_t seed, std::int32_t x, std::int32_t y)
{
    std::uint64_t z = seed * 0x9E3779B97F4A7C15ULL + (static_cast<std::uint64_t>(x) << 32) + static_cast<std::uint64_t>(y);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    const double u = (static_cast<double>(z >> 11) + 0.5) / 9007199254740992.0; // (0, 1)
    return -std::log(u);
}

// Brightness 0..1 to the waterfall's palette: black, dark blue noise, green
// skirts, a pale yellow core.
void Palette(double b, std::uint8_t* out)
{
    struct Stop {
        double at;
        double r, g, bl;
    };
    static constexpr Stop stops[] = {{0.00, 0, 0, 0},      {0.30, 0, 0, 90},     {0.50, 0, 70, 190},
                                     {0.65, 0, 170, 170},  {0.80, 80, 220, 40},  {0.92, 250, 220, 30},
                                     {1.00, 255, 255, 170}};
    b = std::round(std::clamp(b, 0.0, 1.0) * kLevels) / kLevels;
    std::size_t i = 1;
    while (i + 1 < std::size(stops) && b > stops[i].at)
        ++i;
    const Stop& a = stops[i - 1];
    const Stop& z = stops[i];
    const double f = (b - a.at) / (z.at - a.at);
    out[0] = static_cast<std::uint8_t>(std::lround(a.r + f * (z.r - a.r)));
    out[1] = static_cast<std::uint8_t>(std::lround(a.g + f * (z.g - a.g)));
    out[2] = static_cast<std::uint8_t>(std::lround(a.bl + f * (z.bl - a.bl)));
}

std::string HzText(double hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", hz);
    return text;
}

// A frequency from the settings file may be any double: kept to where the
// scale's arithmetic stays finite.
double SaneHz(double hz) { return std::isfinite(hz) ? std::clamp(hz, -1e6, 1e6) : 0; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

GrabberTones TonesOfSettings(const double* shiftHz)
{
    GrabberTones t;
    t.dfcw = DfcwMode;
    t.fskNormal = FskNormal;
    if (shiftHz) {
        // The dash is keyed at the DFCW line level FskNormal.
        t.qrssHz = 0;
        t.dashHz = FskNormal ? *shiftHz : 0;
        t.dotHz = FskNormal ? 0 : *shiftHz;
    } else {
        t.qrssHz = SidetoneFreq;
        t.dotHz = DotToneFreq;
        t.dashHz = DashToneFreq;
    }
    return t;
}

std::vector<GrabberMark> MarksOf(const std::vector<TimelineEvent>& events, const GrabberTones& tones,
                                 std::int64_t endAbs)
{
    std::vector<GrabberMark> marks;
    bool key = false, level = false;
    std::int64_t since = 0;
    const auto hz = [&] { return !tones.dfcw ? tones.qrssHz : level == tones.fskNormal ? tones.dashHz : tones.dotHz; };
    const auto close = [&](std::int64_t at) {
        if (key && at > since)
            marks.push_back({since, at, hz()});
        since = at;
    };
    for (const TimelineEvent& e : events) {
        if (e.kind == TimelineEvent::Key && e.level != key) {
            close(e.at);
            key = e.level;
        } else if (e.kind == TimelineEvent::Dfcw && e.level != level) {
            close(e.at);
            level = e.level;
        }
    }
    close(endAbs);
    return marks;
}

FrameSpan FramesOf(std::int64_t from, std::int64_t to, std::int32_t frameMinutes, std::int64_t utcOffsetMs)
{
    const std::int64_t frameMs = std::int64_t{std::clamp(frameMinutes, 1, 60)} * 60000;
    FrameSpan span;
    span.firstStart = FloorDiv(from - utcOffsetMs, frameMs) * frameMs + utcOffsetMs;
    const std::int64_t frames = (std::max(to, from + 1) - span.firstStart + frameMs - 1) / frameMs;
    span.frames = static_cast<std::int32_t>(std::clamp<std::int64_t>(frames, 1, INT32_MAX));
    return span;
}

std::int32_t GrabberPicture::ColumnAt(std::int64_t abs) const
{
    return left + static_cast<std::int32_t>(std::floor(static_cast<double>(abs - startAbs) / msPerColumn));
}

std::int32_t GrabberPicture::RowOf(double hz) const
{
    return top + static_cast<std::int32_t>(std::floor((topHz - hz) / hzPerRow));
}

bool IsMarkColour(const std::uint8_t* rgb) { return rgb[0] >= 200 && rgb[1] >= 180 && rgb[2] + 50 <= rgb[0]; }

GrabberPicture RenderGrabber(const std::vector<GrabberMark>& marks, const GrabberTones& tones,
                             std::int64_t runFrom, std::int64_t runTo, const GrabberOptions& options)
{
    GrabberPicture p;
    const std::int32_t frameMinutes = std::clamp(options.frameMinutes, 1, 60);
    const std::int64_t frameMs = std::int64_t{frameMinutes} * 60000;
    const std::int32_t frameWidth = std::clamp(options.frameWidth, 1, GrabberOptions::kMaxWidth);

    // The carrier's frequencies, each labelled on the scale.
    std::vector<double> tonesHz;
    const auto addTone = [&](double hz) {
        hz = SaneHz(hz);
        if (std::find(tonesHz.begin(), tonesHz.end(), hz) == tonesHz.end())
            tonesHz.push_back(hz);
    };
    if (tones.dfcw) {
        addTone(tones.dotHz);
        addTone(tones.dashHz);
    } else {
        addTone(tones.qrssHz);
    }
    for (const GrabberMark& m : marks)
        addTone(m.hz);
    std::size_t labelChars = 2; // "Hz"
    for (const double hz : tonesHz)
        labelChars = std::max(labelChars, HzText(hz).size());

    const FrameSpan span = FramesOf(runFrom, runTo, frameMinutes, options.utcOffsetMs);
    p.left = static_cast<std::int32_t>(labelChars) * 6 + 8;
    p.top = kStrip;
    p.rows = kRows;
    p.framesInRun = span.frames;
    p.frames = std::clamp((GrabberOptions::kMaxWidth - p.left) / frameWidth, 1, span.frames);
    p.width = p.left + p.frames * frameWidth;
    p.height = p.top + p.rows;
    p.startAbs = span.firstStart;
    p.msPerColumn = static_cast<double>(frameMs) / frameWidth;
    const auto [lo, hi] = std::minmax_element(tonesHz.begin(), tonesHz.end());
    const double spanHz = std::max(kMinSpanHz, 3 * (*hi - *lo));
    p.hzPerRow = spanHz / kRows;
    p.topHz = (*lo + *hi) / 2 + spanHz / 2;
    p.rgb.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3, 0);

    // The waterfall, one column at a time: how much of the column's (blurred)
    // time each tone is keyed, then every row's power against the noise, in dB.
    std::vector<double> rowOfTone(tonesHz.size());
    for (std::size_t k = 0; k < tonesHz.size(); ++k)
        rowOfTone[k] = (p.topHz - tonesHz[k]) / p.hzPerRow - 0.5;
    std::vector<double> coverage(tonesHz.size());
    const double soft = p.msPerColumn;
    const double reach = kTraceSigmaRows * 6;
    std::size_t firstMark = 0;
    std::uint8_t colour[3];
    for (std::int32_t x = 0; x < p.frames * frameWidth; ++x) {
        const double c0 = static_cast<double>(p.startAbs - runFrom) + x * p.msPerColumn;
        const double c1 = c0 + p.msPerColumn;
        std::fill(coverage.begin(), coverage.end(), 0.0);
        while (firstMark < marks.size() && static_cast<double>(marks[firstMark].to - runFrom) <= c0 - soft)
            ++firstMark;
        for (std::size_t i = firstMark; i < marks.size(); ++i) {
            const double a = static_cast<double>(marks[i].from - runFrom);
            if (a >= c1 + soft)
                break;
            const double b = static_cast<double>(marks[i].to - runFrom);
            const auto k = static_cast<std::size_t>(std::find(tonesHz.begin(), tonesHz.end(), SaneHz(marks[i].hz)) - tonesHz.begin());
            coverage[k] += (WeightBefore(b, c0, c1, soft) - WeightBefore(a, c0, c1, soft)) / (c1 - c0 + soft);
        }
        for (std::int32_t y = 0; y < p.rows; ++y) {
            double power = NoisePower(options.seed, x, y);
            for (std::size_t k = 0; k < tonesHz.size(); ++k) {
                const double d = (y - rowOfTone[k]) / kTraceSigmaRows;
                if (coverage[k] > 0 && std::abs(d) * kTraceSigmaRows < reach)
                    power += kMarkPower * coverage[k] * std::exp(-d * d / 2);
            }
            Palette((10 * std::log10(power) - kFloorDb) / kRangeDb, colour);
            SetPixel(p, p.left + x, p.top + y, colour);
        }
    }

    // Frame boundaries: a dotted line down the waterfall (the marks stay
    // readable across it) and the frame's UTC start above.
    for (std::int32_t f = 0; f < p.frames; ++f) {
        const std::int32_t x = p.left + f * frameWidth;
        for (std::int32_t y = 0; y < p.height; ++y)
            if (y < p.top || (y - p.top) % 2 == 0)
                SetPixel(p, x, y, kBoundaryRgb);
        const std::int64_t utc = p.startAbs + f * frameMs - options.utcOffsetMs;
        const std::int64_t minuteOfDay = ((utc / 60000) % 1440 + 1440) % 1440;
        char label[16];
        std::snprintf(label, sizeof label, "%02d:%02d UTC", static_cast<int>(minuteOfDay / 60),
                      static_cast<int>(minuteOfDay % 60));
        DrawText(p, x + 3, 2, label, x + frameWidth);
    }
    // The frequency scale: each tone's value and a tick at its row.
    DrawText(p, 2, 2, "Hz", p.left);
    for (std::size_t k = 0; k < tonesHz.size(); ++k) {
        const std::int32_t row = p.top + static_cast<std::int32_t>(std::lround(rowOfTone[k]));
        DrawText(p, 2, row - 3, HzText(tonesHz[k]), p.left - 5);
        for (std::int32_t x = p.left - 4; x < p.left; ++x)
            SetPixel(p, x, row, kBoundaryRgb);
    }
    return p;
}

} // namespace keying
