// The grabber picture of a run: drawn from the engine's recorded time line.
#include "harness.h"
#include "keying/grabber.h"
#include "keying/preview.h"

#include <algorithm>

namespace {

using keying::GrabberMark;
using keying::GrabberOptions;
using keying::GrabberPicture;

constexpr std::int64_t kTen = 10 * 3600000LL; // 10:00 local

class GrabberTest : public EngineTest {
protected:
    static bool ColumnEqual(const GrabberPicture& a, const GrabberPicture& b, std::int32_t x)
    {
        for (std::int32_t y = a.top; y < a.height; ++y)
            if (!std::equal(a.Pixel(x, y), a.Pixel(x, y) + 3, b.Pixel(x, y)))
                return false;
        return true;
    }
};

struct MarkCase {
    const char* name;
    bool dfcw, omitKeyGaps;
    std::int32_t dot, keyGap;
    std::vector<char> kinds; // '.' dot tone, '-' dash tone; QRSS: one tone
};

// "AN": every key-down is a mark at its tone, bright wherever a column lies
// within it; a column that no mark reaches is the bare noise, byte for byte.
TEST_F(GrabberTest, MarksAreBrightInTheirColumnsOnTheirTonesAndGapsAreBareNoise)
{
    const MarkCase cases[] = {
        {"QRSS 3 s", false, false, 3000, 0, {'q', 'q', 'q', 'q'}},
        {"DFCW 10 s, key gaps", true, false, 10000, 2000, {'.', '-', '-', '.'}},
        // Without key gaps the DFCW line moves while the key stays down.
        {"DFCW 10 s, no key gaps", true, true, 10000, 2000, {'.', '-', '-', '.'}},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        DfcwMode = c.dfcw;
        RatioCode = c.dfcw ? 1 : 3;
        DotLength = c.dot;
        KeyGap = c.keyGap;
        OmitKeyGaps = c.omitKeyGaps;
        StartNow("AN", kTen);
        ASSERT_TRUE(RunToEnd());
        const std::int64_t end = run_->clock.Abs();
        const keying::GrabberTones tones = keying::TonesOfSettings();
        const std::vector<GrabberMark> marks = keying::MarksOf(run_->events, tones, end);

        // The marks are the key-downs, split only where the tone changes.
        ASSERT_EQ(marks.size(), c.kinds.size());
        std::vector<std::pair<std::int64_t, std::int64_t>> joined;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const double hz = c.kinds[i] == '.' ? DotToneFreq : c.kinds[i] == '-' ? DashToneFreq : SidetoneFreq;
            EXPECT_EQ(marks[i].hz, hz) << "mark " << i;
            const std::int64_t from = marks[i].from - run_->startAbs, to = marks[i].to - run_->startAbs;
            if (!joined.empty() && joined.back().second == from)
                joined.back().second = to;
            else
                joined.emplace_back(from, to);
        }
        EXPECT_EQ(joined, KeyDowns());

        GrabberOptions options;
        options.frameWidth = 1200; // 0.5 s a column
        const GrabberPicture picture = keying::RenderGrabber(marks, tones, run_->startAbs, end, options);
        const GrabberPicture noise = keying::RenderGrabber({}, tones, run_->startAbs, end, options);
        ASSERT_EQ(picture.width, noise.width);
        EXPECT_EQ(picture.startAbs, run_->startAbs); // the run starts on a frame's minute
        int bright = 0, bare = 0;
        for (std::int32_t x = picture.left; x < picture.width; ++x) {
            const double c0 = static_cast<double>(picture.startAbs) + (x - picture.left) * picture.msPerColumn;
            const double c1 = c0 + picture.msPerColumn, soft = picture.msPerColumn;
            const auto within = std::find_if(marks.begin(), marks.end(), [&](const GrabberMark& m) {
                return static_cast<double>(m.from) <= c0 && c1 <= static_cast<double>(m.to);
            });
            const bool reached = std::any_of(marks.begin(), marks.end(), [&](const GrabberMark& m) {
                return static_cast<double>(m.from) < c1 + soft && c0 - soft < static_cast<double>(m.to);
            });
            if (within != marks.end()) {
                ++bright;
                EXPECT_TRUE(keying::IsMarkColour(picture.Pixel(x, picture.RowOf(within->hz)))) << "column " << x;
                if (c.dfcw) {
                    const double other = within->hz == DotToneFreq ? DashToneFreq : DotToneFreq;
                    EXPECT_FALSE(keying::IsMarkColour(picture.Pixel(x, picture.RowOf(other)))) << "column " << x;
                }
            } else if (!reached && x != picture.left) { // the frame's boundary line
                ++bare;
                EXPECT_TRUE(ColumnEqual(picture, noise, x)) << "column " << x;
            }
        }
        EXPECT_GT(bright, 0);
        EXPECT_GT(bare, 0);

        // The same input gives the same bytes; the noise is the seed's.
        EXPECT_EQ(keying::RenderGrabber(marks, tones, run_->startAbs, end, options).rgb, picture.rgb);
        options.seed = 2;
        EXPECT_NE(keying::RenderGrabber(marks, tones, run_->startAbs, end, options).rgb, picture.rgb);
    }
}

// A boundary line at each frame's first column, the frames on the UTC grid
// whatever the local zone, and a label above each.
TEST_F(GrabberTest, FrameBoundariesSitAtTheirUtcMinute)
{
    struct Case {
        std::int32_t frameMinutes;
        std::int64_t utcOffsetMs, from, to; // local
        std::int64_t firstStart, boundary;
        std::int32_t frames;
    } const cases[] = {
        {10, 0, kTen + 8 * 60000, kTen + 14 * 60000, kTen, kTen + 10 * 60000, 2},
        // UTC+5:30: local 10:20 is 04:50 UTC, so the hour's frame turns at 10:30 local.
        {60, 19800000, kTen + 20 * 60000, kTen + 40 * 60000, kTen - 30 * 60000, kTen + 30 * 60000, 2},
        {1, 0, kTen + 1000, kTen + 59000, kTen, kTen, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameMinutes);
        GrabberOptions options;
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
        // The UTC time's digits just right of it.
        int ink = 0;
        for (std::int32_t lx = x + 3; lx < x + 57; ++lx)
            for (std::int32_t y = 2; y < 9; ++y)
                ink += p.Pixel(lx, y)[0] != 0;
        EXPECT_GT(ink, 40);
    }
}

// A preview keys one message of an endless beacon, silently, and leaves the
// settings as they were (a start now would overwrite StartTime).
TEST_F(GrabberTest, APreviewSendsOneMessageAndPutsTheSettingsBack)
{
    Texts[1] = "E";
    TextNumber = 1;
    DotLength = 3000;
    RepeatCount = 0;
    RepeatInterval = 0;
    UseSpeaker = true;
    AlarmTime = 5;
    StartTime = "120000";
    RunKind = kRunQso;
    StartImmediately = false;
    DialogCancelled = true;
    const keying::TransmissionPreview p = keying::PreviewTransmission(46000, kTen);
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(p.startAbs, 46000 * 86400000LL + kTen);
    EXPECT_EQ(p.firstKey - p.startAbs, 1500);
    EXPECT_EQ(p.lastKey - p.startAbs, 4500);
    EXPECT_EQ(std::count_if(p.events.begin(), p.events.end(),
                            [](const TimelineEvent& e) { return e.kind == TimelineEvent::Key && e.level; }),
              1);
    EXPECT_EQ(RepeatCount, 0);
    EXPECT_TRUE(UseSpeaker);
    EXPECT_EQ(AlarmTime, 5);
    EXPECT_EQ(StartTime, "120000");
    EXPECT_EQ(RunKind, kRunQso);
    EXPECT_FALSE(StartImmediately);
    EXPECT_TRUE(DialogCancelled);
}

} // namespace
