#include "io/simdevices.h"
#include "io/speaker.h"
#include "support/fakeclock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class SpeakerTest : public testing::Test {
protected:
    void SetUp() override { InstallPortDevices(&sim_); }
    void TearDown() override { InstallPortDevices(nullptr); }

    std::vector<std::pair<std::uint16_t, std::uint8_t>> Writes() const
    {
        std::vector<std::pair<std::uint16_t, std::uint8_t>> result;
        for (const auto& a : sim_.Space().Accesses())
            if (a.write)
                result.emplace_back(a.address, a.value);
        return result;
    }

    FakeClock clock_;
    SimPortDevices sim_{&clock_};
};

TEST_F(SpeakerTest, DivisorsRoundHalfToEvenLowByteFirst)
{
    SpeakerFrequency(800);
    EXPECT_EQ(Writes(), (std::vector<std::pair<std::uint16_t, std::uint8_t>>{
                            {0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}}));
    const std::pair<double, int> cases[] = {{800, 1491}, {400, 2983}, {20000, 60}, {20, 59659},
                                            {1193180.0 / 2.5, 2}, {1193180.0 / 3.5, 4}};
    for (const auto& [hz, divisor] : cases) {
        SpeakerFrequency(hz);
        EXPECT_EQ(sim_.Space().Speaker().Divisor(), divisor) << hz;
    }
    // Frequencies the program never passes do not fail.
    SpeakerFrequency(0);
    SpeakerFrequency(-5);
    SpeakerFrequency(1);
}

TEST_F(SpeakerTest, GateBitsAreTheOnlyOnesChanged)
{
    sim_.Space().SetSystemControl(0xA4);
    SpeakerOn(800);
    EXPECT_EQ(sim_.Space().Speaker().SystemControl(), 0xA7);
    EXPECT_TRUE(sim_.Space().Speaker().Sounding());
    EXPECT_NEAR(sim_.Space().Speaker().Frequency(), 800.3, 0.1);
    // The gate opens before the divisor is loaded.
    EXPECT_EQ(Writes().front(), (std::pair<std::uint16_t, std::uint8_t>{0x61, 0xA7}));
    sim_.Space().SetSystemControl(0xFF);
    SpeakerOff();
    EXPECT_EQ(sim_.Space().Speaker().SystemControl(), 0xFC);
    EXPECT_FALSE(sim_.Space().Speaker().Sounding());
    EXPECT_TRUE(sim_.Space().UnexpectedWrites().empty());
}

TEST_F(SpeakerTest, AlarmChirpRisesInElevenStepsAndEndsOff)
{
    SpeakerOn(1000); // sounding before the chirp
    sim_.Space().ClearRecord();
    const double start = clock_.Now();
    AlarmChirp(clock_);

    std::vector<int> divisors;
    std::vector<double> instants;
    int low = -1;
    for (const auto& a : sim_.Space().Accesses()) {
        if (!a.write || a.address != 0x42)
            continue;
        if (low < 0) {
            low = a.value;
        } else {
            divisors.push_back(low | a.value << 8);
            instants.push_back(a.when);
            low = -1;
        }
    }
    ASSERT_EQ(divisors.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(divisors[std::size_t(i)], static_cast<int>(std::nearbyint(1193180.0 / (400 + 50 * i)))) << i;
        EXPECT_NEAR((instants[std::size_t(i)] - start) * 86400000.0, 20.0 * i, 0.01) << i;
    }
    EXPECT_NEAR((clock_.Now() - start) * 86400000.0, 220.0, 0.01);
    EXPECT_FALSE(sim_.Space().Speaker().Sounding());
}

} // namespace
