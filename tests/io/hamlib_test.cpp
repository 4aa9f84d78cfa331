// The radio port for real: Hamlib's dummy radio in this process, and a rigctld
// of its own on 127.0.0.1 whose PTT rigctl reads back, lost and back again.
#include "io/emergency.h"
#include "io/linuxdevices.h"
#include "io/portdriver.h"
#include "io/syscalls.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class RadioTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::signal(SIGPIPE, SIG_IGN); // as the program does: a closed socket is an error, not the end
        SetDefaultSettings();
        PortNumber = kPortHamlib;
    }
    void TearDown() override
    {
        ReleasePort();
        InstallPortDevices(nullptr);
        PortOpen = false;
        SetDefaultSettings();
        StopRigctld();
    }
    LinuxPortDevices::Env Env()
    {
        return [this](const std::string& name) { return env_.count(name) != 0 ? env_[name] : std::string{}; };
    }

    // A port nobody listens on now.
    static int FreePort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(s, reinterpret_cast<sockaddr*>(&a), size);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
        ::close(s);
        return ntohs(a.sin_port);
    }
    static bool Listening(int port)
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        return ok;
    }
    void StartRigctld()
    {
        const std::string port = std::to_string(port_);
        rigctld_ = ::fork();
        if (rigctld_ == 0) {
            ::execlp("rigctld", "rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", port.c_str(), nullptr);
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !Listening(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(Listening(port_)) << "rigctld did not start (libhamlib-utils, scripts/test installs it)";
    }
    void StopRigctld()
    {
        if (rigctld_ <= 0)
            return;
        ::kill(rigctld_, SIGKILL);
        ::waitpid(rigctld_, nullptr, 0);
        rigctld_ = -1;
    }
    // PTT as another client of the rigctld reads it: "0" or "1".
    std::string PttSeen() const
    {
        const std::string command = "rigctl -m 2 -r 127.0.0.1:" + std::to_string(port_) + " t 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        char text[16] = "";
        if (pipe == nullptr || std::fgets(text, sizeof text, pipe) == nullptr)
            text[0] = '\0';
        if (pipe != nullptr)
            ::pclose(pipe);
        std::string result = text;
        while (!result.empty() && result.back() == '\n')
            result.pop_back();
        return result;
    }

    std::map<std::string, std::string> env_;
    int port_ = 0;
    pid_t rigctld_ = -1;
};

TEST_F(RadioTest, TheDummyRadiosPttFollowsTheDriverAndEveryWayOut)
{
    env_["VANTREL_RADIO_MODEL"] = "1";
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    InstallPortDevices(&devices);
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(devices.Radio().Ptt(), 0);
    SetPtt(true);
    EXPECT_EQ(devices.Radio().Ptt(), 1);
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

TEST_F(RadioTest, AnUnknownOrMissingRadioSaysWhatToSet)
{
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenLines(kPortHamlib), kInvalidHandle);
    env_ = {{"VANTREL_RADIO_MODEL", "2"}, {"VANTREL_RADIO_DEVICE", "127.0.0.1:" + std::to_string(FreePort())}};
    EXPECT_EQ(devices.OpenLines(kPortHamlib), kInvalidHandle);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("vantrel: Radio (model ?) not opened: radio.model (Hamlib's number of the radio, 2 for a "
                        "rigctld) is not set in VANTREL.PORTS or VANTREL_RADIO_MODEL\n"),
              std::string::npos) << said;
    EXPECT_NE(said.find("vantrel: Radio (model 2 127.0.0.1:"), std::string::npos) << said;
    EXPECT_NE(devices.LastOpenFailure().find("; check radio.model, radio.device and radio.speed in VANTREL.PORTS"),
              std::string::npos) << devices.LastOpenFailure();
}

// PTT on at the start and off at the end as another client sees it; a killed
// rigctld loses the port, nothing reaches it while lost, and once it runs
// again the port is back with PTT as the engine holds it.
TEST_F(RadioTest, ARigctldSeesPttAndItsLossIsThePortLost)
{
    port_ = FreePort();
    StartRigctld();
    env_ = {{"VANTREL_RADIO_MODEL", "2"}, {"VANTREL_RADIO_DEVICE", "127.0.0.1:" + std::to_string(port_)}};
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    InstallPortDevices(&devices);
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(PttSeen(), "0");
    SetPtt(true);
    EXPECT_EQ(PttSeen(), "1");
    ReleasePort();
    EXPECT_EQ(PttSeen(), "0");

    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    SetPtt(true);
    StopRigctld();
    testing::internal::CaptureStderr();
    SetKey(false);
    SetPtt(true);
    EXPECT_TRUE(PortLost());
    RetryLostPort(); // nobody listens: still lost
    EXPECT_TRUE(PortLost());
    StartRigctld();
    RetryLostPort();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(PortLost()) << said;
    EXPECT_NE(said.find("vantrel: port lost: Radio (model 2 127.0.0.1:"), std::string::npos) << said;
    EXPECT_NE(said.find("vantrel: port back: Radio"), std::string::npos) << said;
    EXPECT_EQ(PttSeen(), "1");
    ReleasePort();
    EXPECT_EQ(PttSeen(), "0");
}

} // namespace
