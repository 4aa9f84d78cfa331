// Checks the audio that a DFCW transmission sent to SDL's disk audio device
// against the line log of the same run: one tone per keyed element, on the
// dot or dash frequency as the DFCW line selected it (within 0.5 Hz, by a
// Hann-windowed DFT), and silence in every space and key gap.
//
// Usage: dfcw_audio_check AUDIO.raw LINES.log DOT_HZ DASH_HZ FSK_NORMAL ELEMENTS
//   AUDIO.raw  what the disk device received: 96000 Hz, 16-bit stereo
//   FSK_NORMAL 1 when a high DFCW line selects the dash
//   ELEMENTS   the expected marks, such as ".--." for AN
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 96000;
// A tone stops at once, so the ends of the tones pin the audio to the line
// log, to within the sound device's buffers and the timer's lateness. A tone
// starts only once its image is built, which on a loaded machine (or under a
// sanitizer) takes some hundred milliseconds.
constexpr double kStopMs = 120;
constexpr double kLateStartMs = 700;
// Edges of each element and gap left out of its measurement.
constexpr double kEdgeMs = 150;

struct Mark {
    double on = 0, off = 0; // ms of the day, from the line log
    bool dash = false;
};

std::vector<std::int16_t> ReadLeftChannel(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> raw{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::int16_t> left(raw.size() / 4);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[4 * i]) | raw[4 * i + 1] << 8);
    return left;
}

// Key-down intervals; the DFCW level that holds when the key is released is
// the one the mark was sent on (the line is preset for the next mark after).
std::vector<Mark> ReadMarks(const std::string& path, bool fskNormal)
{
    std::ifstream in(path);
    std::vector<Mark> marks;
    bool dfcw = false, down = false;
    std::string line;
    while (std::getline(in, line)) {
        int h = 0, m = 0, s = 0, ms = 0;
        char what[16] = {}, level[16] = {};
        if (std::sscanf(line.c_str(), "%d:%d:%d.%d %15s %15s", &h, &m, &s, &ms, what, level) != 6)
            continue;
        const double t = ((h * 60.0 + m) * 60 + s) * 1000 + ms;
        const bool on = std::string(level) == "on";
        if (std::string(what) == "dfcw") {
            dfcw = on;
        } else if (std::string(what) == "key") {
            if (on && !down)
                marks.push_back({t, t, false});
            else if (!on && down) {
                marks.back().off = t;
                marks.back().dash = dfcw == fskNormal;
            }
            down = on;
        }
    }
    return marks;
}

// Sounding stretches [begin, end) of the samples; pauses below 20 ms (a tone's
// zero crossings) do not end one.
std::vector<std::pair<std::size_t, std::size_t>> Runs(const std::vector<std::int16_t>& s)
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    const std::size_t bridge = static_cast<std::size_t>(kRate / 50);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) < 300)
            continue;
        if (!runs.empty() && i - runs.back().second < bridge)
            runs.back().second = i + 1;
        else
            runs.push_back({i, i + 1});
    }
    return runs;
}

double Magnitude(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to, double hz)
{
    const double n = static_cast<double>(to - from);
    const double step = 2 * M_PI * hz / kRate;
    double re = 0, im = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double k = static_cast<double>(i - from);
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * k / n);
        re += w * s[i] * std::cos(step * k);
        im -= w * s[i] * std::sin(step * k);
    }
    return std::hypot(re, im);
}

// The strongest frequency between low and high, to a few millihertz.
double PeakFrequency(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to, double low, double high)
{
    double best = low, bestMagnitude = -1;
    for (double step : {0.1, 0.005}) {
        const double a = step == 0.1 ? low : best - 0.1, b = step == 0.1 ? high : best + 0.1;
        for (double f = a; f <= b; f += step) {
            const double m = Magnitude(s, from, to, f);
            if (m > bestMagnitude) {
                bestMagnitude = m;
                best = f;
            }
        }
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s AUDIO.raw LINES.log DOT_HZ DASH_HZ FSK_NORMAL ELEMENTS\n", argv[0]);
        return 2;
    }
    const std::vector<std::int16_t> audio = ReadLeftChannel(argv[1]);
    const std::vector<Mark> marks = ReadMarks(argv[2], std::atoi(argv[5]) != 0);
    const double dotHz = std::atof(argv[3]), dashHz = std::atof(argv[4]);
    const std::string expected = argv[6];
    int failures = 0;
    const auto fail = [&failures](const std::string& what) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    };

    std::string sent;
    for (const Mark& m : marks)
        sent += m.dash ? '-' : '.';
    if (sent != expected) {
        fail("the line log keyed \"" + sent + "\", not \"" + expected + "\"");
        return 1;
    }
    const auto runs = Runs(audio);
    if (runs.size() != marks.size()) {
        fail("the audio holds " + std::to_string(runs.size()) + " tones for " + std::to_string(marks.size()) + " marks");
        return 1;
    }
    // Line-log time to sample index, fitted to the ends of the tones.
    const double n = static_cast<double>(marks.size());
    double st = 0, ss = 0, stt = 0, sts = 0;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const double t = marks[i].off - marks[0].on, x = static_cast<double>(runs[i].second);
        st += t, ss += x, stt += t * t, sts += t * x;
    }
    const double slope = n > 1 ? (n * sts - st * ss) / (n * stt - st * st) : kRate / 1000;
    const double offset = (ss - slope * st) / n;
    const auto sample = [&](double t) { return static_cast<std::size_t>(std::max(0.0, offset + slope * (t - marks[0].on))); };
    std::printf("audio clock: %.4f samples per log ms (nominal %.0f)\n", slope, kRate / 1000);
    if (std::fabs(slope / (kRate / 1000) - 1) > 0.1)
        fail("the audio does not run at the line log's pace");

    const double edge = kEdgeMs * slope;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        const double want = m.dash ? dashHz : dotHz;
        const double lagOn = (static_cast<double>(runs[i].first) - static_cast<double>(sample(m.on))) / slope;
        const double lagOff = (static_cast<double>(runs[i].second) - static_cast<double>(sample(m.off))) / slope;
        const std::size_t from = std::max(sample(m.on), runs[i].first) + static_cast<std::size_t>(edge);
        const std::size_t to = sample(m.off) - static_cast<std::size_t>(edge);
        const double hz = PeakFrequency(audio, from, to, std::min(dotHz, dashHz) - 6, std::max(dotHz, dashHz) + 6);
        std::printf("%s %7.3f s .. %7.3f s  tone %+5.0f/%+5.0f ms  %.3f Hz (want %.1f)\n", m.dash ? "dash" : "dot ",
                    (m.on - marks[0].on) / 1000, (m.off - marks[0].on) / 1000, lagOn, lagOff, hz, want);
        if (std::fabs(hz - want) > 0.5)
            fail("element " + std::to_string(i + 1) + " sounds at " + std::to_string(hz) + " Hz");
        if (lagOn < -kStopMs || lagOn > kLateStartMs || std::fabs(lagOff) > kStopMs || to < from + slope * 300)
            fail("element " + std::to_string(i + 1) + "'s tone does not follow the key");
        if (i + 1 == marks.size())
            break;
        // The space or key gap up to the next mark.
        int loudest = 0;
        for (std::size_t k = sample(m.off) + static_cast<std::size_t>(edge); k < sample(marks[i + 1].on) - static_cast<std::size_t>(edge); ++k)
            loudest = std::max(loudest, std::abs(int{audio[k]}));
        std::printf("gap  %7.3f s .. %7.3f s  peak sample %d\n", (m.off - marks[0].on) / 1000,
                    (marks[i + 1].on - marks[0].on) / 1000, loudest);
        if (loudest > 0)
            fail("the gap after element " + std::to_string(i + 1) + " is not silent");
    }
    return failures == 0 ? 0 : 1;
}
