// The engine on the real port driver and simulated hardware while the serial
// adapter is pulled out and plugged in again during a transmission.
#include "io/linelog.h"
#include "io/portdriver.h"
#include "io/simdevices.h"
#include "keying/timeline.h"
#include "settings/settings.h"
#include "support/fakeclock.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct Tick {
    std::int64_t at;
    bool key, ptt; // RTS and DTR of COM1 as the device has them
    std::string status;
};

class PortLossTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        InstallPortDevices(&sim_);
        clock_.SetLocal(46000, 10 * 3600000LL);
        PortNumber = 1;
        OpenSelectedPort();
        ASSERT_TRUE(PortOpen);
        SetKey(false);
        SetPtt(false);
        Texts[1] = "TTT";
        TextNumber = 1;
        RunKind = kRunTransmit;
        StartImmediately = true;
    }
    void TearDown() override
    {
        ReleasePort();
        InstallPortDevices(nullptr);
        SetDefaultSettings();
    }
    // Runs the transmission to its end; `fault` is called before every tick
    // with the ms since the start.
    std::vector<Tick> Run(const std::function<void(std::int64_t)>& fault = {})
    {
        engine_.Prepare();
        const std::int64_t start = clock_.Abs();
        std::vector<Tick> ticks;
        for (int i = 0; i < 2000 && !engine_.Display.CloseRequested; ++i) {
            clock_.Advance(100);
            const std::int64_t at = clock_.Abs() - start;
            if (fault)
                fault(at);
            if (at % 1000 == 0)
                RetryLostPort(); // the window's once-a-second watch
            engine_.KeyTimerTimer();
            ticks.push_back({at, sim_.Lines(1).rts, sim_.Lines(1).dtr, engine_.Display.Status});
        }
        return ticks;
    }
    static std::vector<std::int64_t> KeyDowns(const std::vector<Tick>& ticks)
    {
        std::vector<std::int64_t> downs;
        bool key = false;
        for (const Tick& t : ticks) {
            if (t.key && !key)
                downs.push_back(t.at);
            key = t.key;
        }
        return downs;
    }

    FakeClock clock_;
    SimPortDevices sim_{&clock_};
    PortLines lines_;
    RecordingTone myTone_, fastTone_;
    keying::KeyEngine engine_{clock_, lines_, myTone_, fastTone_};
};

// "TTT": three dashes. Pulled out in the middle of the first, back in the
// middle of the second: the rest of the first and the whole second are not
// keyed, PTT comes back at once, the third is keyed on time, the status says
// what happens, and the transmission ends when it would have ended anyway.
TEST_F(PortLossTest, LostInOneMarkBackInTheNextKeysOnlyFromTheElementAfter)
{
    const std::vector<Tick> clean = Run();
    const std::vector<std::int64_t> downs = KeyDowns(clean);
    ASSERT_EQ(downs.size(), 3u);
    const std::int64_t end = clean.back().at;
    ReleasePort();
    PortNumber = 1;
    OpenSelectedPort();
    SetKey(false);
    SetPtt(false);

    const std::int64_t unplug = downs[0] + 1000, plugIn = downs[1] + 1000;
    testing::internal::CaptureStderr();
    const std::vector<Tick> ticks = Run([&](std::int64_t at) {
        if (at == unplug)
            sim_.Unplug(1, EIO);
        if (at == plugIn)
            sim_.PlugIn(1);
    });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("port lost: COM1 (simulated port): Input/output error"), std::string::npos) << err;
    EXPECT_NE(err.find("port back: COM1"), std::string::npos) << err;

    EXPECT_EQ(ticks.back().at, end); // the time line ran on
    EXPECT_EQ(KeyDowns(ticks), (std::vector<std::int64_t>{downs[0], downs[2]}));
    bool sawLost = false, sawBack = false;
    for (const Tick& t : ticks) {
        EXPECT_FALSE(t.key && !t.ptt) << t.at; // never keyed without PTT
        if (t.at >= unplug && t.at < plugIn) {
            EXPECT_FALSE(t.key || t.ptt) << t.at; // the device is gone
            if (t.at > downs[0] + 3000) { // the first request after the unplug has failed
                EXPECT_NE(t.status.find("Status : port COM1 lost (Input/output error)"), std::string::npos) << t.status;
                EXPECT_EQ(t.status.find("transmitting"), std::string::npos) << t.status;
                sawLost = true;
            }
        }
        if (t.at >= plugIn + 1000 && t.at < end - 100) {
            EXPECT_TRUE(t.ptt) << t.at; // PTT restored within the retry second
        }
        if (t.at >= plugIn && t.at < downs[2]) {
            EXPECT_FALSE(t.key) << t.at; // the second dash is not keyed from its middle
        }
        sawBack = sawBack || t.status.find("port COM1 is back") != std::string::npos;
    }
    EXPECT_TRUE(sawLost);
    EXPECT_TRUE(sawBack);
    EXPECT_FALSE(ticks.back().ptt);
}

} // namespace
