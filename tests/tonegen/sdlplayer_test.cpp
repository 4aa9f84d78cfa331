// The real SDL player on SDL's disk audio driver: what the "device" received
// is read back from its file. Real time: about a second.
#include "tonegen/sdlplayer.h"
#include "tonegen/tonegen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

// Frequency from interpolated rising zero crossings of samples [from, to).
double Frequency(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to, double rate)
{
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double at = static_cast<double>(i - 1) + static_cast<double>(-s[i - 1]) / (s[i] - s[i - 1]);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    return crossings > 0 ? crossings * rate / (last - first) : 0;
}

TEST(SdlPlayer, PlaysLoopsStopsAndReplaces)
{
    const std::string file = testing::TempDir() + "/vantrel-disk-audio.raw";
    std::remove(file.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);

    SdlPlayer& player = SdlPlayer::Instance();
    {
        TMyToneGen tone(player);
        tone.SetFrequency(400.0);
        tone.SetDuration(100); // 40 whole cycles: the loop point comes five times
        tone.Loop = true;
        tone.Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        TToneGen other(player);
        other.SetFrequency(1000);
        other.SetDuration(100);
        other.Loop = true;
        other.Play(); // ends the first sound
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        tone.Stop(); // a stop on one instance ends the other's sound
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    player.Close(); // the disk device writes out the rest of its file

    std::ifstream in(file, std::ios::binary);
    const std::vector<char> raw{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(raw.size(), 96000u * 4 / 2) << "the disk device received too little";
    std::vector<std::int16_t> left(raw.size() / 4);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[4 * i]) | raw[4 * i + 1] << 8);

    // Segments: the 400 Hz tone from the first sample that sounds, then 1000 Hz, then silence.
    std::size_t start = 0;
    while (start < left.size() && left[start] == 0 && left[start + 1] == 0)
        ++start;
    std::size_t end = left.size();
    while (end > start && left[end - 1] == 0)
        --end;
    ASSERT_GT(end - start, 96000u * 6 / 10);
    // The first tone: 0.4 s of it, well inside its half second.
    const std::size_t switchAt = [&] {
        for (std::size_t i = start + 96000 / 4; i + 1 < end; ++i) {
            const int d = std::abs(left[i + 1] - left[i]);
            if (d > 1200) // 1000 Hz changes faster than 400 Hz ever does
                return i;
        }
        return end;
    }();
    const double f400 = Frequency(left, start, std::min(switchAt, start + 38400), 96000);
    EXPECT_NEAR(f400, 400.0, 0.5);
    int peak = 0, jump = 0;
    for (std::size_t i = start + 1; i < std::min(switchAt, start + 38400); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(left[i])));
        jump = std::max(jump, std::abs(left[i] - left[i - 1]));
    }
    EXPECT_GT(peak, 32000);
    EXPECT_LT(jump, 900) << "a jump in the 400 Hz tone (the loop point)";
    ASSERT_LT(switchAt, end);
    const double f1000 = Frequency(left, switchAt + 960, std::min(end, switchAt + 960 + 19200), 96000);
    EXPECT_NEAR(f1000, 1000.0, 1.0);
    for (std::size_t i = switchAt + 960; i < end; ++i)
        ASSERT_LE(std::abs(static_cast<int>(left[i])), 32767) << "two tones at once";
    // After the stop: silence to the end of the file.
    EXPECT_GT(left.size() - end, 96000u / 20);
}

} // namespace
