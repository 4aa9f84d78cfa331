// Images checked byte for byte against values worked out here from the
// synthesis rules, the property rules, the stream and the note names.
#include "tonegen/tonegen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

namespace {

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

class ToneTest : public testing::Test {
protected:
    // The i-th 16-bit sample of the data.
    static int Sample(const ToneGenerator& g, std::size_t i)
    {
        return static_cast<std::int16_t>(U16(g.GetDataBuffer() + 44 + 2 * i));
    }
    SilentPlayer player_;
};

TEST_F(ToneTest, DefaultImageHeader)
{
    TMyToneGen g(player_);
    ASSERT_TRUE(g.BuildImage(false));
    const std::uint8_t* h = g.GetDataBuffer();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h), 4), "RIFF");
    EXPECT_EQ(U32(h + 4), 19236u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h + 8), 8), "WAVEfmt ");
    EXPECT_EQ(U32(h + 16), 16u);
    EXPECT_EQ(U16(h + 20), 1);
    EXPECT_EQ(U16(h + 22), 1);
    EXPECT_EQ(U32(h + 24), 96000u);
    EXPECT_EQ(U32(h + 28), 192000u);
    EXPECT_EQ(U16(h + 32), 2);
    EXPECT_EQ(U16(h + 34), 16);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h + 36), 4), "data");
    EXPECT_EQ(U32(h + 40), 19200u);
    EXPECT_EQ(g.ImageSize(), 19276u);
    for (std::size_t i = 19244; i < 19276; ++i)
        EXPECT_EQ(h[i], 0) << i; // 32 bytes of silence behind the data
}

TEST_F(ToneTest, SizesOfOtherLayouts)
{
    TMyToneGen g(player_);
    g.SetDuration(10);
    g.SetQuality(tgLoQ);
    ASSERT_TRUE(g.BuildImage(false));
    EXPECT_EQ(U32(g.GetDataBuffer() + 40), 882u);
    EXPECT_EQ(U32(g.GetDataBuffer() + 24), 44100u);

    g.SetResolution(tg8Bit);
    g.SetStereo(true);
    ASSERT_TRUE(g.BuildImage(false));
    const std::uint8_t* h = g.GetDataBuffer();
    EXPECT_EQ(U32(h + 40), 882u); // 441 frames of two bytes
    EXPECT_EQ(U16(h + 22), 2);
    EXPECT_EQ(U32(h + 28), 88200u);
    EXPECT_EQ(U16(h + 32), 2);
    EXPECT_EQ(U16(h + 34), 8);
    for (std::size_t i = 44 + 882; i < g.ImageSize(); ++i)
        EXPECT_EQ(h[i], 128) << i;

    g.SetDuration(32767);
    g.SetQuality(tgHiQ);
    g.SetResolution(tg16Bit);
    ASSERT_TRUE(g.BuildImage(false));
    EXPECT_EQ(U32(g.GetDataBuffer() + 40), 12582528u);
}

// 16-bit samples at 44.1 kHz give an odd data size for odd durations (15 ms:
// 1323 bytes): the build ends, the last odd byte and the trailer stay silent.
TEST_F(ToneTest, OddDataSizesBuild)
{
    for (const bool stereo : {false, true})
        for (const int ms : {15, 11, 32767}) {
            TMyToneGen g(player_);
            g.SetQuality(tgLoQ);
            g.SetDuration(ms);
            g.SetStereo(stereo);
            g.SetFrequency(1000);
            for (const bool envelope : {false, true}) {
                ASSERT_TRUE(g.BuildImage(envelope)) << ms;
                const std::size_t data = static_cast<std::size_t>(2) * ms * 441 / 10 * (stereo ? 2 : 1);
                ASSERT_EQ(g.ImageSize(), data + 76) << ms;
                const std::uint8_t* h = g.GetDataBuffer();
                EXPECT_EQ(U32(h + 40), data);
                for (std::size_t i = 44 + data - (data % 2); i < g.ImageSize(); ++i)
                    EXPECT_EQ(h[i], 0) << ms << ' ' << i;
                EXPECT_NE(Sample(g, data / 4 + 3), 0); // the tone itself is there
            }
        }
}

TEST_F(ToneTest, SineOf800HzHasCyclesOf120SamplesFromZero)
{
    TMyToneGen g(player_);
    g.SetFrequency(800);
    ASSERT_TRUE(g.BuildImage(false));
    for (std::size_t i = 0; i < 9600; ++i) {
        const double expected = std::trunc(std::sin(static_cast<double>(i % 120) * 2 * std::numbers::pi / 120) / 2 * 65534.0);
        ASSERT_EQ(Sample(g, i), static_cast<int>(expected)) << i;
    }
    EXPECT_EQ(Sample(g, 0), 0);
    EXPECT_EQ(Sample(g, 30), 32767);
    EXPECT_EQ(Sample(g, 120), 0);
    EXPECT_EQ(Sample(g, 210), -32767);
}

TEST_F(ToneTest, HighestToneAtLowQualityIsSilent)
{
    TMyToneGen g(player_);
    g.SetFrequency(20000);
    g.SetQuality(tgLoQ);
    ASSERT_TRUE(g.BuildImage(false));
    for (std::size_t i = 0; i < 4410; ++i)
        ASSERT_EQ(Sample(g, i), 0) << i;
}

TEST_F(ToneTest, EightBitAndStereoSamples)
{
    TMyToneGen g(player_);
    g.SetFrequency(800);
    g.SetResolution(tg8Bit);
    g.SetStereo(true);
    ASSERT_TRUE(g.BuildImage(false));
    const std::uint8_t* d = g.GetDataBuffer() + 44;
    // A = 254, so the peak is 128 + 127; both channels carry the same byte.
    EXPECT_EQ(d[0], 128);
    EXPECT_EQ(d[60], 255);
    EXPECT_EQ(d[61], 255);
    EXPECT_EQ(d[180], 1);
    for (std::size_t i = 0; i < 19200; i += 2)
        ASSERT_EQ(d[i], d[i + 1]) << i;
}

TEST_F(ToneTest, PartialSharesAboveHundredAreScaled)
{
    // 100 and 50: the base tone (share -50) is left out; the partials at 0.5
    // and 1.0 times 440 Hz sound with 100 x 100 div 150 = 66 and 33.
    TMyToneGen mixed(player_);
    mixed.SetAMParameter(0, 100, tgSine, 0.5f);
    mixed.SetAMParameter(1, 50, tgSine, 1.0f);
    ASSERT_TRUE(mixed.BuildImage(false));

    // The same voices alone, as base tones whose share the rest of the table
    // sets; an entry of 0.5 Hz in hertz mode is skipped (whole part 0).
    TMyToneGen low(player_), high(player_);
    low.SetFrequency(220);
    low.SetAMUseMultiplier(false);
    low.SetAMParameter(0, 34, tgSine, 0.5f);
    high.SetAMUseMultiplier(false);
    high.SetAMParameter(0, 67, tgSine, 0.5f);
    ASSERT_TRUE(low.BuildImage(false));
    ASSERT_TRUE(high.BuildImage(false));
    for (std::size_t i = 0; i < 9600; ++i)
        ASSERT_EQ(Sample(mixed, i), static_cast<std::int16_t>(Sample(low, i) + Sample(high, i))) << i;
    EXPECT_EQ(Sample(low, 109), static_cast<int>(std::trunc(std::sin(109 * 2 * std::numbers::pi / 436) / 2 * 66 * 65534.0 / 100)));
}

TEST_F(ToneTest, EnvelopeSharesAreRescaled)
{
    // A 10 Hz square in a 100 ms image: one cycle, -32767 then +32767.
    TMyToneGen g(player_);
    g.SetFrequency(10);
    g.SetWaveform(tgSquare);
    g.SetAttack(50);
    g.SetHold(30);
    g.SetDecay(30);
    g.SetRelease(20);
    ASSERT_TRUE(g.BuildImage(true));
    // Rescaled to 38, 23, 23 and 16; no sustain phase. Frames: attack 0..3648,
    // hold 3649..5857, decay 5858..8066, release 8067..9599.
    EXPECT_EQ(Sample(g, 0), 0);
    EXPECT_EQ(Sample(g, 1824), -16383);
    EXPECT_EQ(Sample(g, 3648), -32767);
    EXPECT_EQ(Sample(g, 5000), 32767);
    EXPECT_EQ(Sample(g, 6962), 32767 - 8191);
    EXPECT_EQ(Sample(g, 8067), 16383);
    EXPECT_EQ(Sample(g, 9599), 10);
}

TEST_F(ToneTest, FastToneGenEnvelopeAndSustainToTheEnd)
{
    TToneGen g(player_);
    g.SetFrequency(20);
    g.SetWaveform(tgSquare);
    g.SetDuration(1000);
    g.SetAttack(20);
    g.SetHold(60);
    g.SetDecay(0);
    g.SetRelease(20);
    ASSERT_TRUE(g.BuildImage(true));
    // 20 cycles of 4800 samples, low for the first 2400 of each. 96000 frames:
    // attack 0..19200, hold 19201..76801, release from 76802 at half level.
    EXPECT_EQ(Sample(g, 9600), -16383);
    EXPECT_EQ(Sample(g, 19200), -32767);
    EXPECT_EQ(Sample(g, 76799), 32767);
    EXPECT_EQ(Sample(g, 76802), -16383);
    EXPECT_LT(std::abs(Sample(g, 95999)), 3);

    g.SetRelease(0);
    g.SetAttack(0);
    g.SetHold(0);
    g.SetSustain(40);
    ASSERT_TRUE(g.BuildImage(true));
    EXPECT_EQ(Sample(g, 0), -13106);      // trunc(-32767 x 0.4)
    EXPECT_EQ(Sample(g, 95999), 13106);   // to the last frame
}

TEST_F(ToneTest, NoiseIsReproducible)
{
    TMyToneGen g(player_);
    g.SetWaveform(tgNoise);
    ASSERT_TRUE(g.BuildImage(false));
    const std::vector<std::uint8_t> first(g.GetDataBuffer(), g.GetDataBuffer() + g.ImageSize());
    ASSERT_TRUE(g.BuildImage(false));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), g.GetDataBuffer()));
    std::uint32_t x = 1;
    for (std::size_t i = 0; i < 3; ++i) {
        x = x * 134775813u + 1u;
        const auto r = static_cast<int>((static_cast<std::uint64_t>(x) * 65535u) >> 32);
        EXPECT_EQ(Sample(g, i), r - 32767) << i;
    }
}

TEST_F(ToneTest, ClampingOfProperties)
{
    TMyToneGen real(player_);
    TToneGen whole(player_);
    real.SetFrequency(5);
    whole.SetFrequency(5);
    EXPECT_EQ(real.Frequency(), 10);
    EXPECT_EQ(whole.Frequency(), 20);
    real.SetFrequency(25000);
    whole.SetFrequency(25000);
    EXPECT_EQ(real.Frequency(), 20000);
    EXPECT_EQ(whole.Frequency(), 20000);
    real.SetFrequency(400.5);
    whole.SetFrequency(400.5);
    EXPECT_EQ(real.Frequency(), 400.5);
    EXPECT_EQ(whole.Frequency(), 400);
    real.SetDuration(0);
    EXPECT_EQ(real.Duration(), 10);
    real.SetDuration(40000);
    EXPECT_EQ(real.Duration(), 32767);
    real.SetLeftVolume(150);
    real.SetRightVolume(-3);
    EXPECT_EQ(real.LeftVolume(), 100);
    EXPECT_EQ(real.RightVolume(), 0);
    real.SetAttack(101);
    EXPECT_EQ(real.Attack(), 100);
    real.SetAMAmplitude(150);
    EXPECT_EQ(real.AMAmplitude(), 100);
}

TEST_F(ToneTest, StalenessFlags)
{
    TMyToneGen g(player_);
    EXPECT_TRUE(g.ToneStale() && g.EnvelopeStale() && g.EnvelopeApplied());
    ASSERT_TRUE(g.BuildImage(false));
    EXPECT_FALSE(g.ToneStale());
    EXPECT_TRUE(g.EnvelopeStale());
    EXPECT_FALSE(g.EnvelopeApplied());
    ASSERT_TRUE(g.BuildImage(true));
    EXPECT_FALSE(g.ToneStale());
    EXPECT_FALSE(g.EnvelopeStale());
    EXPECT_TRUE(g.EnvelopeApplied());
    g.Async = false;
    g.Loop = true;
    g.SetLeftVolume(30);
    EXPECT_FALSE(g.ToneStale() || g.EnvelopeStale());
    g.SetFrequency(g.Frequency()); // the same value marks it stale too
    EXPECT_TRUE(g.ToneStale());
    EXPECT_FALSE(g.EnvelopeStale());
    ASSERT_TRUE(g.BuildImage(true));
    g.SetSustain(10);
    EXPECT_FALSE(g.ToneStale());
    EXPECT_TRUE(g.EnvelopeStale());
    for (auto change : std::initializer_list<std::function<void()>>{
             [&] { g.SetDuration(200); }, [&] { g.SetWaveform(tgSquare); }, [&] { g.SetResolution(tg8Bit); },
             [&] { g.SetQuality(tgLoQ); }, [&] { g.SetStereo(true); }, [&] { g.SetAMLevel(2); },
             [&] { g.SetAMWaveform(tgNoise); }, [&] { g.SetAMFrequency(2.0f); },
             [&] { g.SetAMUseMultiplier(false); }, [&] { g.ResetAM(); },
             [&] { g.SetAMParameter(1, 1, tgSine, 1.0f); }, [&] { g.SetNote("A"); }}) {
        ASSERT_TRUE(g.BuildImage(false));
        change();
        EXPECT_TRUE(g.ToneStale());
    }
}

TEST_F(ToneTest, PartialTableWindowAndStream)
{
    TMyToneGen g(player_);
    EXPECT_EQ(g.AMAmplitude(), 0);
    EXPECT_EQ(g.AMFrequency(), 0.5f);
    g.SetAMParameter(2, 150, tgTriangle, 1.5f);
    EXPECT_EQ(g.AMAmplitude(), 0); // the window copy is refreshed only by AMLevel
    ASSERT_TRUE(g.BuildImage(false));
    g.SetAMLevel(2);
    EXPECT_TRUE(g.ToneStale());
    EXPECT_EQ(g.AMAmplitude(), 100);
    EXPECT_EQ(g.AMAmplitudes[2], 100); // clamped by the selection
    EXPECT_EQ(g.AMWaveform(), tgTriangle);
    EXPECT_EQ(g.AMFrequency(), 1.5f);

    const std::vector<std::uint8_t> stream = g.WriteAMArrayData();
    ASSERT_EQ(stream.size(), 100u);
    EXPECT_EQ(U32(stream.data()), 7u);
    EXPECT_EQ(U32(stream.data() + 4 + 24), 100u);
    EXPECT_EQ(U32(stream.data() + 8 + 24), 2u);
    float f;
    const std::uint32_t bits = U32(stream.data() + 12 + 24);
    std::memcpy(&f, &bits, 4);
    EXPECT_EQ(f, 1.5f);

    TMyToneGen other(player_);
    other.ReadAMArrayData(stream.data(), stream.size());
    EXPECT_EQ(other.AMAmplitudes, g.AMAmplitudes);
    EXPECT_EQ(other.AMWaveforms, g.AMWaveforms);
    EXPECT_EQ(other.AMFrequencies, g.AMFrequencies);
    EXPECT_EQ(other.AMAmplitude(), 0); // window and flags untouched

    std::vector<std::uint8_t> none(stream);
    none[0] = none[1] = none[2] = none[3] = 0xFF; // -1: nothing follows
    TMyToneGen untouched(player_);
    untouched.ReadAMArrayData(none.data(), none.size());
    EXPECT_EQ(untouched.AMAmplitudes[2], 0);

    // Ten entries: the two past the eighth are read and dropped.
    std::vector<std::uint8_t> longer(4 + 12 * 10, 0);
    longer[0] = 9;
    for (std::size_t k = 0; k < 10; ++k)
        longer[4 + 12 * k] = static_cast<std::uint8_t>(10 + k);
    TMyToneGen reader(player_);
    reader.ReadAMArrayData(longer.data(), longer.size());
    EXPECT_EQ(reader.AMAmplitudes[7], 17);
    EXPECT_EQ(reader.AMOctaves[0], 4); // the column behind the table is intact
}

TEST_F(ToneTest, ExportWritesTheWholeImage)
{
    const std::string path = testing::TempDir() + "/vantrel-tone.wav";
    std::filesystem::remove(path);
    TMyToneGen g(player_);
    EXPECT_FALSE(g.ExportFile(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(g.BuildImage(false));
    ASSERT_TRUE(g.ExportFile(path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(bytes.size(), g.ImageSize());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), reinterpret_cast<const char*>(g.GetDataBuffer())));
    EXPECT_FALSE(g.ExportFile("/nonexistent-dir/x.wav"));
}

TEST(NoteNames, TheWholeTable)
{
    const std::pair<const char*, int> table[] = {
        {"A", 440}, {"a#", 466}, {"C", 523}, {">A", 880}, {"O0A", 28}, {"O0A-", 0}, {"O9D#", 19912},
        {"O9E", 0}, {"N48", 440}, {"N122", 0}, {" A ", 440}, {"Bb", 0}, {"B+", 0}, {"E#", 0},
        {"A4", 0}, {"O", 0}, {"N", 0}, {"Nx", 0}, {"", 0}, {"H", 0}, {"<<<<<<A", 28}, {"C-", 0},
        {"G+", 831}, {"A-", 415}, {"N0", 28}, {"N121", 0}};
    for (const auto& [name, hz] : table) {
        std::int32_t octave = 4;
        EXPECT_EQ(NoteToFrequency(name, octave, ToneKind::Real), hz) << '"' << name << '"';
    }
    std::int32_t octave = 4;
    EXPECT_EQ(NoteToFrequency(">A", octave, ToneKind::Real), 880);
    EXPECT_EQ(octave, 5);
    octave = 4;
    EXPECT_EQ(NoteToFrequency("O0A-", octave, ToneKind::Real), 0);
    EXPECT_EQ(octave, 4); // nothing changes on an invalid name
}

TEST_F(ToneTest, NotesRememberTheirOctave)
{
    TMyToneGen g(player_);
    EXPECT_EQ(g.SetNote("<A"), 220);
    EXPECT_EQ(g.SetNote("A"), 220);
    EXPECT_EQ(g.Frequency(), 220);
    EXPECT_EQ(g.SetNote("O0A-"), 0);
    EXPECT_EQ(g.Frequency(), 220);
    TToneGen w(player_);
    EXPECT_EQ(w.SetNote("a#"), 466);
    EXPECT_EQ(w.Frequency(), 466);

    TMyToneGen m(player_);
    EXPECT_EQ(m.SetAMNote(1, "A"), 1.0f);
    EXPECT_EQ(m.AMFrequencies[1], 1.0f);
    EXPECT_EQ(m.AMFrequency(), 0.5f); // the window copy is not refreshed
    m.SetAMUseMultiplier(false);
    EXPECT_EQ(m.SetAMNote(1, "A"), 440.0f);
}

TEST_F(ToneTest, PlayBuildsOnlyWhenStale)
{
    TMyToneGen g(player_);
    g.Loop = true;
    const auto stops = [&] { return player_.stops; };
    int before = stops();
    g.Play(); // a build (which stops the sound first) and the start
    EXPECT_EQ(stops() - before, 2);
    EXPECT_FALSE(g.SoundIdle());
    before = stops();
    g.Play(); // no build: only the start's stop
    EXPECT_EQ(stops() - before, 1);
    g.SetFrequency(g.Frequency());
    before = stops();
    g.Play();
    EXPECT_EQ(stops() - before, 2);
    g.Prepare();
    before = stops();
    g.Play();
    EXPECT_EQ(stops() - before, 1);
    g.PlayADSR();
    EXPECT_TRUE(g.EnvelopeApplied());
    before = stops();
    g.Play(); // after an envelope image: built again
    EXPECT_EQ(stops() - before, 2);
    EXPECT_EQ(player_.plays, 6);
    g.Stop();
    EXPECT_TRUE(g.SoundIdle());

    g.Loop = false;
    g.Async = false;
    g.Play();
    EXPECT_TRUE(g.SoundIdle());
}

TEST_F(ToneTest, VolumeFollowsTheIdleState)
{
    player_.volume = 0x12345678;
    {
        TMyToneGen g(player_);
        EXPECT_EQ(ToneGenerator::SavedDeviceVolume(ToneKind::Real), 0x12345678u);
        EXPECT_EQ(player_.volume, 0xFFFFFFFFu); // full volume at creation
        g.SetLeftVolume(50);
        g.SetRightVolume(50);
        EXPECT_EQ(player_.volume, 32767u | 32767u << 16);
        g.Loop = true;
        g.Play();
        g.SetLeftVolume(0);
        EXPECT_EQ(player_.volume, 32767u | 32767u << 16); // not while it plays
        g.Play();
        EXPECT_EQ(player_.volume, 32767u << 16);
        EXPECT_EQ(ToneGenerator::LiveCount(ToneKind::Real), 1);
    }
    EXPECT_EQ(ToneGenerator::LiveCount(ToneKind::Real), 0);
    EXPECT_EQ(player_.volume, 0x12345678u); // put back by the last one
}

} // namespace
