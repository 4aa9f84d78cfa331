// The grabber picture of a run: drawn from the engine's recorded time line.
#include "harness.h"
#include "keying/grabber.h"
#include "keying/preview.h"

#include <algorithm>

namespace {

using keying::GrabberMark;
using keying::GrabberPicture;

constexpr std::int64_t kTen = 10 * 3600000LL; // 10:00 local
using GrabberTest = EngineTest;

// "AN": every key-down is a mark at its tone, bright wherever a column lies
// within it; a column that no mark reaches is the bare noise, byte for byte.
TEST_F(GrabberTest, MarksAreBrightInTheirColumnsOnTheirTonesAndGapsAreBareNoise)
{
    const struct {
        bool dfcw, omitKeyGaps;
        std::int32_t dot;
        std::string kinds; // tones of the marks: '.' dot, '-' dash, 'q' QRSS
    } cases[] = {{false, false, 3000, "qqqq"}, {true, false, 10000, ".--."},
                 {true, true, 10000, ".--."}}; // the DFCW line moves while the key stays down
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dfcw + 2 * c.omitKeyGaps);
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        DfcwMode = c.dfcw;
        RatioCode = c.dfcw ? 1 : 3;
        DotLength = c.dot;
        KeyGap = c.dfcw ? 2000 : 0;
        OmitKeyGaps = c.omitKeyGaps;
        StartNow("AN", kTen);
        ASSERT_TRUE(RunToEnd());
        const std::int64_t start = run_->startAbs, end = run_->clock.Abs();
        const keying::GrabberTones tones = keying::TonesOfSettings();
        const std::vector<GrabberMark> marks = keying::MarksOf(run_->events, tones, end);

        // The marks are the key-downs, split only where the tone changes.
        ASSERT_EQ(marks.size(), c.kinds.size());
        std::vector<std::pair<std::int64_t, std::int64_t>> joined;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].hz, c.kinds[i] == '.' ? DotToneFreq : c.kinds[i] == '-' ? DashToneFreq : SidetoneFreq);
            if (!joined.empty() && joined.back().second == marks[i].from - start)
                joined.back().second = marks[i].to - start;
            else
                joined.emplace_back(marks[i].from - start, marks[i].to - start);
        }
        EXPECT_EQ(joined, KeyDowns());

        keying::GrabberOptions options;
        options.frameWidth = 1200; // 0.5 s a column
        const GrabberPicture picture = keying::RenderGrabber(marks, tones, start, end, options);
        const GrabberPicture noise = keying::RenderGrabber({}, tones, start, end, options);
        EXPECT_EQ(picture.startAbs, start); // the run starts on a frame's minute
        int bright = 0, bare = 0;
        for (std::int32_t x = picture.left + 1; x < picture.width; ++x) { // after the frame's boundary line
            const double c0 = static_cast<double>(start) + (x - picture.left) * picture.msPerColumn;
            const double c1 = c0 + picture.msPerColumn, soft = picture.msPerColumn;
            const auto at = [](std::int64_t t) { return static_cast<double>(t); };
            const auto within = std::find_if(marks.begin(), marks.end(),
                                             [&](const GrabberMark& m) { return at(m.from) <= c0 && c1 <= at(m.to); });
            if (within != marks.end()) {
                ++bright;
                EXPECT_TRUE(keying::IsMarkColour(picture.Pixel(x, picture.RowOf(within->hz)))) << x;
                const double other = within->hz == DotToneFreq ? DashToneFreq : DotToneFreq;
                EXPECT_TRUE(!c.dfcw || !keying::IsMarkColour(picture.Pixel(x, picture.RowOf(other)))) << x;
            } else if (std::none_of(marks.begin(), marks.end(), [&](const GrabberMark& m) {
                           return at(m.from) < c1 + soft && c0 - soft < at(m.to);
                       })) {
                ++bare;
                for (std::int32_t y = picture.top; y < picture.height; ++y)
                    ASSERT_TRUE(std::equal(picture.Pixel(x, y), picture.Pixel(x, y) + 3, noise.Pixel(x, y))) << x;
            }
        }
        EXPECT_GT(bright, 0);
        EXPECT_GT(bare, 0);

        // The same input gives the same bytes; the noise is the seed's.
        EXPECT_EQ(keying::RenderGrabber(marks, tones, start, end, options).rgb, picture.rgb);
        options.seed = 2;
        EXPECT_NE(keying::RenderGrabber(marks, tones, start, end, options).rgb, picture.rgb);
    }
}

// A boundary line at each frame's first column, the frames on the UTC grid
// whatever the local zone.
TEST_F(GrabberTest, FrameBoundariesSitAtTheirUtcMinute)
{
    const struct {
        std::int32_t frameMinutes;
        std::int64_t utcOffsetMs, from, to, firstStart, boundary; // local
        std::int32_t frames;
    } cases[] = {
        {10, 0, kTen + 8 * 60000, kTen + 14 * 60000, kTen, kTen + 10 * 60000, 2},
        // UTC+5:30: local 10:20 is 04:50 UTC, so the hour's frame turns at 10:30 local.
        {60, 19800000, kTen + 20 * 60000, kTen + 40 * 60000, kTen - 30 * 60000, kTen + 30 * 60000, 2},
        {1, 0, kTen + 1000, kTen + 59000, kTen, kTen, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frameMinutes);
        keying::GrabberOptions options;
        options.frameMinutes = c.frameMinutes;
        options.frameWidth = 300;
        options.utcOffsetMs = c.utcOffsetMs;
        const keying::GrabberTones tones;
        const GrabberPicture p = keying::RenderGrabber({{c.from, c.to, tones.qrssHz}}, tones, c.from, c.to, options);
        EXPECT_EQ(p.startAbs, c.firstStart);
        EXPECT_EQ(p.frames, c.frames);
        EXPECT_EQ(p.width, p.left + c.frames * 300);
        const std::int32_t x = p.ColumnAt(c.boundary);
        EXPECT_EQ((x - p.left) % 300, 0);
        for (std::int32_t y : {0, p.top, p.top + 2, p.height - 2})
            EXPECT_TRUE(std::equal(keying::kBoundaryRgb, keying::kBoundaryRgb + 3, p.Pixel(x, y))) << y;
    }
}

// A preview keys one message of an endless beacon, silently, and leaves the
// settings as they were (a start now would overwrite StartTime).
TEST_F(GrabberTest, APreviewSendsOneMessageAndPutsTheSettingsBack)
{
    Texts[1] = "E";
    DotLength = 3000;
    RepeatCount = RepeatInterval = 0;
    UseSpeaker = DialogCancelled = true;
    AlarmTime = 5;
    StartTime = "120000";
    RunKind = kRunQso;
    StartImmediately = false;
    const keying::TransmissionPreview p = keying::PreviewTransmission(46000, kTen);
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(p.firstKey - p.startAbs, 1500);
    EXPECT_EQ(p.lastKey - p.startAbs, 4500);
    EXPECT_EQ(std::count_if(p.events.begin(), p.events.end(),
                            [](const TimelineEvent& e) { return e.kind == TimelineEvent::Key && e.level; }),
              1);
    EXPECT_EQ(std::tuple(RepeatCount, UseSpeaker, AlarmTime, StartTime, RunKind, StartImmediately, DialogCancelled),
              std::tuple(0, true, 5, "120000", kRunQso, false, true));
}

} // namespace
