// The radio port with Hamlib's dummy radio in this process; a rigctld of its
// own, lost and back, is the whole-program check whole/radio_ptt.sh.
#include "io/emergency.h"
#include "io/linuxdevices.h"
#include "io/portdriver.h"
#include "io/syscalls.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class RadioTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        PortNumber = kPortHamlib;
    }
    void TearDown() override
    {
        ReleasePort();
        InstallPortDevices(nullptr);
        SetDefaultSettings();
    }
    LinuxPortDevices::Env Env()
    {
        return [this](const std::string& name) { return env_.count(name) != 0 ? env_[name] : std::string{}; };
    }

    std::map<std::string, std::string> env_;
};

TEST_F(RadioTest, TheDummyRadiosPttFollowsTheDriver)
{
    env_["VANTREL_RADIO_MODEL"] = "1";
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    InstallPortDevices(&devices);
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(devices.Radio().Ptt(), 0);
    SetPtt(true);
    SetKey(true); // no key line: the tone keys
    SetDfcw(false);
    EXPECT_EQ(devices.Radio().Ptt(), 1) << "DFCW does not touch the radio's PTT";
    EXPECT_FALSE(PortLost());
    EmergencyStep steps[kMaxEmergencySteps];
    ASSERT_EQ(CurrentEmergencySteps(steps), 1);
    EXPECT_EQ(steps[0].kind, EmergencyStep::None); // --release-port switches CAT PTT off after a crash
    ReleasePort();
    EXPECT_FALSE(devices.Radio().IsOpen());
}

TEST_F(RadioTest, AnUnknownOrUnreachableRadioSaysWhatToSet)
{
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenLines(kPortHamlib), kInvalidHandle);
    env_ = {{"VANTREL_RADIO_MODEL", "2"}, {"VANTREL_RADIO_DEVICE", "127.0.0.1:1"}}; // nobody listens on port 1
    EXPECT_EQ(devices.OpenLines(kPortHamlib), kInvalidHandle);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("vantrel: Radio (model ?) not opened: radio.model (Hamlib's number of the radio, 2 for a "
                        "rigctld) is not set in VANTREL.PORTS or VANTREL_RADIO_MODEL\n"),
              std::string::npos) << said;
    EXPECT_EQ(devices.LastOpenFailure().rfind("Radio (model 2 127.0.0.1:1): ", 0), 0u) << devices.LastOpenFailure();
    EXPECT_NE(devices.LastOpenFailure().find("; check radio.model, radio.device and radio.speed in VANTREL.PORTS"),
              std::string::npos) << devices.LastOpenFailure();
}

} // namespace
