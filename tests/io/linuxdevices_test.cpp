#include "io/linuxdevices.h"
#include "io/portdriver.h"
#include "io/syscalls.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/kd.h>
#include <linux/ppdev.h>
#include <map>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Records every call; devices are a table of paths, with the errno each open
// gives (0 = opens). With `forward` the calls go to the real system too.
class RecordingSys : public SysCalls {
public:
    struct Call {
        std::string what;
        int fd;
        unsigned long request;
        int value;   // the int an ioctl argument points at, or the open flags
        int result;
    };

    int Open(const char* path, int flags) override
    {
        int fd;
        if (forward) {
            fd = ::open(path, flags);
        } else {
            const auto it = devices.find(path);
            const int error = it == devices.end() ? ENOENT : it->second;
            fd = error == 0 ? nextFd++ : -1;
            errno = error;
        }
        const int saved = errno;
        calls.push_back({std::string("open ") + path, fd, 0, flags, fd});
        errno = saved;
        return fd;
    }
    int Flock(int fd, int operation) override
    {
        const int result = forward ? ::flock(fd, operation) : (flockError == 0 ? 0 : -1);
        const int saved = forward ? errno : flockError;
        calls.push_back({"flock", fd, 0, operation, result});
        errno = saved;
        return result;
    }
    int Ioctl(int fd, unsigned long request, void* arg) override
    {
        int value = 0;
        if (request == PPRCONTROL && !forward)
            *static_cast<std::uint8_t*>(arg) = control;
        if (request == TCGETS && !forward)
            static_cast<termios*>(arg)->c_cflag = cflag;
        if (request == PPWDATA || request == PPWCONTROL || request == PPRCONTROL)
            value = *static_cast<std::uint8_t*>(arg);
        else if (request == TIOCMBIS || request == TIOCMBIC)
            value = *static_cast<int*>(arg);
        else if (request == KIOCSOUND)
            value = static_cast<int>(reinterpret_cast<std::uintptr_t>(arg));
        int result = forward ? ::ioctl(fd, request, arg) : 0;
        if (request == TCGETS || request == TCSETS)
            value = static_cast<int>(static_cast<termios*>(arg)->c_cflag);
        if (!forward && request == TIOCMGET && modemError != 0) {
            result = -1;
            errno = modemError;
        }
        const int saved = errno;
        calls.push_back({"ioctl", fd, request, value, result});
        errno = saved;
        return result;
    }
    int Close(int fd) override
    {
        const int result = forward ? ::close(fd) : 0;
        calls.push_back({"close", fd, 0, 0, result});
        return result;
    }
    ssize_t Pread(int, void*, size_t, off_t) override { return -1; }
    ssize_t Pwrite(int, const void*, size_t, off_t) override { return -1; }
    ssize_t Write(int, const void*, size_t size) override { return static_cast<ssize_t>(size); }

    std::vector<unsigned long> Ioctls() const
    {
        std::vector<unsigned long> result;
        for (const auto& c : calls)
            if (c.what == "ioctl")
                result.push_back(c.request);
        return result;
    }

    bool forward = false;
    std::map<std::string, int> devices;
    int flockError = 0;
    std::uint8_t control = 0xC4;
    tcflag_t cflag = CS8 | CREAD | CLOCAL | HUPCL | B9600;
    int modemError = 0; // what TIOCMGET fails with (ENOTTY: no modem lines)
    int nextFd = 50;
    std::vector<Call> calls;
};

LinuxPortDevices::Env Environment(std::map<std::string, std::string> values)
{
    return [values](const std::string& name) {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
}

class LinuxDevicesTest : public testing::Test {
protected:
    void SetUp() override { SetDefaultSettings(); }
    void TearDown() override
    {
        ReleasePort();
        PortOpen = false;
        InstallPortDevices(nullptr);
        SetDefaultSettings();
    }
    RecordingSys sys_;
};

TEST_F(LinuxDevicesTest, SerialOpenClaimsAndLowersTheLines)
{
    sys_.devices["/dev/ttyS2"] = 0;
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    PortNumber = 3;
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(sys_.Ioctls(), (std::vector<unsigned long>{TIOCEXCL, TIOCMGET, TCGETS, TIOCMBIC, TIOCMBIC}));
    ASSERT_EQ(sys_.calls.size(), 7u);
    EXPECT_EQ(sys_.calls[0].what, "open /dev/ttyS2");
    EXPECT_EQ(sys_.calls[0].value, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_EQ(sys_.calls[1].what, "flock");
    EXPECT_EQ(sys_.calls[1].value, LOCK_EX | LOCK_NB);
    EXPECT_EQ(sys_.calls[5].value, TIOCM_DTR);
    EXPECT_EQ(sys_.calls[6].value, TIOCM_RTS);

    SetKey(true);
    EXPECT_EQ(sys_.calls.back().request, static_cast<unsigned long>(TIOCMBIS));
    EXPECT_EQ(sys_.calls.back().value, TIOCM_RTS);
    SetPtt(true);
    EXPECT_EQ(sys_.calls.back().value, TIOCM_DTR);
    const int fd = ComHandle;
    CloseSelectedPort();
    EXPECT_EQ(sys_.calls.back().what, "close");
    EXPECT_EQ(sys_.calls.back().fd, fd);
}

// A port on which another program cleared HUPCL would stay keyed after a
// crash: the opening sets it and writes every other setting back as read.
TEST_F(LinuxDevicesTest, SerialOpenSetsHangUpOnCloseOnly)
{
    sys_.devices["/dev/ttyS0"] = 0;
    sys_.cflag = CS7 | PARENB | CREAD | B1200;
    LinuxPortDevices devices(sys_, false, Environment({}));
    const int fd = devices.OpenCom(1);
    ASSERT_NE(fd, kInvalidHandle);
    std::vector<RecordingSys::Call> sets;
    for (const auto& c : sys_.calls)
        if (c.request == TCSETS)
            sets.push_back(c);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].fd, fd);
    EXPECT_EQ(static_cast<tcflag_t>(sets[0].value), CS7 | PARENB | CREAD | B1200 | HUPCL);
    devices.CloseHandle(fd);
}

// No modem lines (a pseudo-terminal, a wrong device): refused at the opening
// with the reason, never taken for a port that could key.
TEST_F(LinuxDevicesTest, DeviceWithoutModemLinesIsRefused)
{
    sys_.devices["/dev/ttyS1"] = 0;
    sys_.modemError = ENOTTY;
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    PortNumber = 2;
    testing::internal::CaptureStderr();
    OpenSelectedPort();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(PortOpen);
    EXPECT_NE(err.find("COM2 (/dev/ttyS1) not opened: not a serial port with RTS and DTR lines"),
              std::string::npos) << err;
    EXPECT_EQ(sys_.calls.back().what, "close");
    for (const auto& c : sys_.calls)
        EXPECT_TRUE(c.request != TIOCMBIS && c.request != TIOCMBIC && c.request != TCSETS);
}

TEST_F(LinuxDevicesTest, DevicePathsFromTheEnvironment)
{
    LinuxPortDevices devices(sys_, false, Environment({{"VANTREL_COM1", "/dev/ttyUSB0"},
                                                       {"VANTREL_LPT2", "/dev/parport7"}}));
    EXPECT_EQ(devices.ComPath(1), "/dev/ttyUSB0");
    EXPECT_EQ(devices.ComPath(9), "/dev/ttyS8");
    EXPECT_EQ(devices.LptPath(1), "/dev/parport0");
    EXPECT_EQ(devices.LptPath(2), "/dev/parport7");
}

TEST_F(LinuxDevicesTest, FailuresAreOneLineOnStandardError)
{
    sys_.devices["/dev/ttyS1"] = EACCES;
    sys_.devices["/dev/ttyS2"] = 0;
    LinuxPortDevices devices(sys_, false, Environment({}));

    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(1), kInvalidHandle); // /dev/ttyS0 is missing
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("COM1 (/dev/ttyS0) not opened"), std::string::npos) << err;

    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(2), kInvalidHandle);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("group dialout"), std::string::npos) << err;

    sys_.flockError = EWOULDBLOCK;
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(3), kInvalidHandle);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("in use by another program"), std::string::npos) << err;
    EXPECT_EQ(sys_.calls.back().what, "close"); // the descriptor is not kept

    sys_.devices["/dev/parport0"] = EACCES;
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenLpt(1), kInvalidHandle);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("group lp"), std::string::npos) << err;
}

TEST_F(LinuxDevicesTest, ParallelPortThroughPpdev)
{
    sys_.devices["/dev/parport0"] = 0;
    sys_.control = 0x04; // ppdev shows the low four bits only
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    PortNumber = kPortLpt1;
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(sys_.Ioctls(), (std::vector<unsigned long>{PPEXCL, PPCLAIM, PPWDATA, PPRCONTROL, PPWCONTROL}));
    EXPECT_EQ(sys_.calls[3].value, 0xFF);
    EXPECT_EQ(sys_.calls.back().value, 0x0B);
    SetKey(false);
    EXPECT_EQ(sys_.calls.back().request, static_cast<unsigned long>(PPWDATA));
    EXPECT_EQ(sys_.calls.back().value, 0xFE);
    CloseSelectedPort();
    const auto n = sys_.calls.size();
    EXPECT_EQ(sys_.calls[n - 2].request, static_cast<unsigned long>(PPRELEASE));
    EXPECT_EQ(sys_.calls[n - 1].what, "close");
    // The speaker ports never reach the parallel port.
    devices.Io().Out(0x61, 0x03);
    EXPECT_NE(sys_.calls.back().request, static_cast<unsigned long>(PPWDATA));
}

TEST_F(LinuxDevicesTest, SpeakerToneGoesToTheConsole)
{
    sys_.devices["/dev/tty0"] = 0;
    LinuxPortDevices devices(sys_, false, Environment({}));
    PortIo& io = devices.Io();
    io.Out(0x61, 0x03);
    io.Out(0x43, 0xB6);
    io.Out(0x42, 0xD3);
    io.Out(0x42, 0x05);
    EXPECT_EQ(sys_.calls.back().request, static_cast<unsigned long>(KIOCSOUND));
    EXPECT_EQ(sys_.calls.back().value, 1491);
    io.Out(0x61, io.In(0x61) & 0xFC);
    EXPECT_EQ(sys_.calls.back().value, 0);
}

TEST_F(LinuxDevicesTest, NoSpeakerIsSaidOnce)
{
    LinuxPortDevices devices(sys_, false, Environment({}));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        devices.Io().Out(0x43, 0xB6);
        devices.Io().Out(0x42, 0x10);
        devices.Io().Out(0x42, 0x01);
        devices.Io().Out(0x61, i % 2 == 0 ? 0x03 : 0x00);
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("no PC speaker"), std::string::npos);
    EXPECT_EQ(err.find("no PC speaker"), err.rfind("no PC speaker"));
}

// A real pseudo-terminal: it has no modem lines, so it is refused; a claim
// held by another opener is said as such; after the claim is gone it opens
// as far as its modem lines.
TEST_F(LinuxDevicesTest, PseudoTerminalIsRefusedAndTheClaimIsExclusive)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);

    sys_.forward = true;
    LinuxPortDevices devices(sys_, false, Environment({{"VANTREL_COM1", slave}}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(1), kInvalidHandle);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("not a serial port with RTS and DTR lines"), std::string::npos) << err;
    EXPECT_EQ(sys_.calls.back().what, "close");
    EXPECT_EQ(sys_.calls.back().result, 0);

    const int holder = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenCom(1), kInvalidHandle);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("COM1 (" + slave + ") not opened: in use by another program"), std::string::npos) << err;
    ::close(holder);
    ::close(master);
}

TEST_F(LinuxDevicesTest, MissingDeviceLeavesThePortClosed)
{
    sys_.forward = true;
    LinuxPortDevices devices(sys_, false, Environment({{"VANTREL_COM4", "/nonexistent/ttyX"}}));
    InstallPortDevices(&devices);
    PortNumber = 4;
    testing::internal::CaptureStderr();
    OpenSelectedPort();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(PortOpen);
    EXPECT_NE(err.find("COM4 (/nonexistent/ttyX) not opened: No such file or directory"), std::string::npos) << err;
}

} // namespace
