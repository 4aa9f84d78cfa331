// What the Linux devices tell a user choosing a port: the device each port
// stands for and whether it is there, and why an opening failed, naming the
// process that holds a busy device.
#include "io/linuxdevices.h"
#include "io/portholders.h"
#include "io/syscalls.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

LinuxPortDevices::Env Environment(std::map<std::string, std::string> values)
{
    return [values](const std::string& name) {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
}

std::string QuietOpenFailure(LinuxPortDevices& devices, int n)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(n), kInvalidHandle);
    const std::string err = testing::internal::GetCapturedStderr();
    // The window gives the reason standard error gives.
    const std::string reason = devices.LastOpenFailure().substr(devices.LastOpenFailure().find("): ") + 3);
    EXPECT_NE(err.find("not opened: " + reason), std::string::npos) << err;
    return devices.LastOpenFailure();
}

TEST(PortChoice, EachPortNamesItsDeviceAndWhetherItIsThere)
{
    const std::string here = testing::TempDir() + "/vantrel-fake-tty";
    std::ofstream(here).put('x');
    LinuxPortDevices devices(RealSysCalls(), false,
                             Environment({{"VANTREL_COM1", here}, {"VANTREL_COM2", "/nonexistent/ttyUSB0"},
                                          {"VANTREL_LPT2", here}}));
    EXPECT_EQ(devices.Describe(1).device, here);
    EXPECT_TRUE(devices.Describe(1).present);
    EXPECT_EQ(devices.Describe(2).device, "/nonexistent/ttyUSB0");
    EXPECT_FALSE(devices.Describe(2).present);
    EXPECT_EQ(devices.Describe(9).device, "/dev/ttyS8");
    EXPECT_EQ(devices.Describe(20).device, "/dev/parport0");
    EXPECT_TRUE(devices.Describe(21).present);
    EXPECT_TRUE(devices.Describe(0).device.empty());
    EXPECT_TRUE(devices.Describe(12).device.empty());
    LinuxPortDevices raw(RealSysCalls(), true, Environment({}));
    EXPECT_EQ(raw.Describe(20).device, "/dev/port");
    std::remove(here.c_str());
}

TEST(PortChoice, FailedOpeningKeepsItsReasonUntilTheNext)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    LinuxPortDevices devices(RealSysCalls(), false,
                             Environment({{"VANTREL_COM4", "/nonexistent/ttyX"}, {"VANTREL_COM1", slave}}));
    EXPECT_EQ(QuietOpenFailure(devices, 4), "COM4 (/nonexistent/ttyX): No such file or directory");

    // Another process holds the device: named by its command and process id.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    const std::string busy = QuietOpenFailure(devices, 1);
    EXPECT_EQ(busy.rfind("COM1 (" + slave + "): in use by another program: ", 0), 0u) << busy;
    EXPECT_NE(busy.find("(pid " + std::to_string(holder) + ")"), std::string::npos) << busy;
    EXPECT_EQ(ProcessesUsing(slave), busy.substr(busy.rfind(": ") + 2));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    // Nobody holds it now: the old reason is gone, and the next one says what
    // stops it then (a pseudo-terminal has no modem lines).
    EXPECT_EQ(ProcessesUsing(slave), "");
    EXPECT_EQ(QuietOpenFailure(devices, 1), "COM1 (" + slave + "): not a serial port with RTS and DTR lines");
    ::close(master);
}

} // namespace
