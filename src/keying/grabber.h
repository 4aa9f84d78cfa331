// A picture of a run as a grabber shows it: the receiver's waterfall, time
// across and frequency up, in frames that start on the UTC minute grid. Built
// from the timeline runner's recorded key and DFCW operations; plain RGB
// pixels, encoded elsewhere. Deterministic: the same marks and options give
// the same bytes (the noise is a hash of the pixel's place and a seed).
#pragma once

#include "timeline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace keying {

// One stretch of carrier: the key down at one frequency.
struct GrabberMark {
    std::int64_t from, to; // ms, the local time line of TimelineEvent::at
    double hz;
};

// Where the carrier sits. QRSS marks all at `qrssHz`; in DFCW the DFCW line
// chooses: at the level FskNormal the engine sets for a dash, `dashHz`.
struct GrabberTones {
    bool dfcw = false;
    bool fskNormal = true;
    double qrssHz = 800, dotHz = 400, dashHz = 404;
};

// The tones of the current settings: the sound card's sidetone, dot and dash
// tones; or, with `shiftHz` given, a keyed transmitter whose carrier is at 0
// and moves by `shiftHz` while the DFCW line is high.
GrabberTones TonesOfSettings(const double* shiftHz = nullptr);

// The key-down stretches of `events`, split where the DFCW line changes while
// the key is down. A key still down at the end runs to `endAbs`.
std::vector<GrabberMark> MarksOf(const std::vector<TimelineEvent>& events, const GrabberTones& tones,
                                 std::int64_t endAbs);

struct GrabberOptions {
    std::int32_t frameMinutes = 10; // 1..60
    std::int32_t frameWidth = 800;  // columns a frame
    std::int64_t utcOffsetMs = 0;   // local time minus UTC
    std::uint64_t seed = 1;         // of the background noise
    // Pictures wider than this show their first frames only.
    static constexpr std::int32_t kMaxWidth = 30000;
};

// The frames [first start, end) that the local span [from, to) touches, on
// the UTC grid of `frameMinutes`; at least one.
struct FrameSpan {
    std::int64_t firstStart = 0;
    std::int32_t frames = 1;
};
FrameSpan FramesOf(std::int64_t from, std::int64_t to, std::int32_t frameMinutes, std::int64_t utcOffsetMs);

struct GrabberPicture {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgb; // rows from the top, three bytes a pixel

    // Geometry, for the windows and the tests.
    std::int32_t left = 0, top = 0, rows = 0; // the waterfall's place and height
    std::int64_t startAbs = 0;                // local time at its left edge
    double msPerColumn = 1000;
    double topHz = 0, hzPerRow = 1;
    std::int32_t frames = 1, framesInRun = 1; // shown; of the whole run

    std::int32_t ColumnAt(std::int64_t abs) const;
    std::int32_t RowOf(double hz) const;
    const std::uint8_t* Pixel(std::int32_t x, std::int32_t y) const
    {
        return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3];
    }
};

// The frame boundary lines and the scale's ticks.
inline constexpr std::uint8_t kBoundaryRgb[3] = {150, 150, 150};

// The waterfall of `marks` over the frames that [runFrom, runTo) touches, with
// a frame boundary line and its UTC start time at each frame's left edge and
// the marks' frequencies on a scale at the left.
GrabberPicture RenderGrabber(const std::vector<GrabberMark>& marks, const GrabberTones& tones,
                             std::int64_t runFrom, std::int64_t runTo, const GrabberOptions& options);

// True where a pixel has a mark's colour: yellow (red and green high, blue
// well below red). The noise (dark blue), the lines and the grey labels never
// have it, nor has a window's grey around the picture in a screenshot.
bool IsMarkColour(const std::uint8_t* rgb);

} // namespace keying
