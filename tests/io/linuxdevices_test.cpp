#include "io/emergency.h"
#include "io/linelog.h"
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
        const bool lineRequest = request == TIOCMBIS || request == TIOCMBIC || request == PPWDATA
            || request == PPWCONTROL || request == PPRCONTROL;
        if (!forward && lineRequest && lineError != 0) {
            result = -1;
            errno = lineError;
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
    int lineError = 0;  // what line requests and register accesses fail with (EIO: unplugged)
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
    EXPECT_EQ(sys_.calls[3].value, 0xFC);
    EXPECT_EQ(sys_.calls.back().value, 0x0B);
    SetKey(true);
    EXPECT_EQ(sys_.calls.back().request, static_cast<unsigned long>(PPWDATA));
    EXPECT_EQ(sys_.calls.back().value, 0xFD);
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

// Line requests since call `from`, as "+RTS", "-DTR", "data FC", ...
std::vector<std::string> LineCalls(const RecordingSys& sys, std::size_t from)
{
    std::vector<std::string> result;
    for (std::size_t i = from; i < sys.calls.size(); ++i) {
        const auto& c = sys.calls[i];
        if (c.request == TIOCMBIS || c.request == TIOCMBIC)
            result.push_back(std::string(c.request == TIOCMBIS ? "+" : "-") + (c.value == TIOCM_RTS ? "RTS" : "DTR"));
    }
    return result;
}

// An adapter pulled out while keying: the failed request is noticed and said
// once, nothing more is asked of the dead descriptor, the path is tried again
// quietly, and when the device is back both lines are lowered, the PTT/DFCW
// line is put back as last asked for and the key waits for its next request.
TEST_F(LinuxDevicesTest, UnpluggedAdapterIsNoticedAndReopened)
{
    const std::string path = "/dev/ttyUSB0";
    sys_.devices[path] = 0;
    LinuxPortDevices devices(sys_, false, Environment({{"VANTREL_COM1", path}}));
    InstallPortDevices(&devices);
    PortNumber = 1;
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    const int firstFd = ComHandle;
    SetPtt(true);
    SetDfcw(false);
    SetPtt(true);

    sys_.lineError = EIO;
    sys_.devices[path] = ENOENT;
    testing::internal::CaptureStderr();
    SetKey(true);
    std::size_t mark = sys_.calls.size();
    SetKey(false);
    SetKey(true); // a mark begins while the port is lost
    for (int i = 0; i < 3; ++i)
        RetryLostPort();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "vantrel: port lost: COM1 (" + path + "): Input/output error\n");
    EXPECT_TRUE(PortOpen);
    EXPECT_TRUE(PortLost());
    EXPECT_NE(PortNote().find("port COM1 lost (Input/output error)"), std::string::npos) << PortNote();
    ASSERT_GT(mark, 1u);
    EXPECT_EQ(sys_.calls[mark - 1].what, "close"); // given up at once
    EXPECT_EQ(sys_.calls[mark - 1].fd, firstFd);
    EXPECT_TRUE(LineCalls(sys_, mark).empty());
    for (std::size_t i = mark; i < sys_.calls.size(); ++i)
        EXPECT_EQ(sys_.calls[i].what, "open " + path); // only the retries
    EXPECT_EQ(sys_.calls.size() - mark, 3u);

    sys_.lineError = 0;
    sys_.devices[path] = 0;
    mark = sys_.calls.size();
    testing::internal::CaptureStderr();
    RetryLostPort();
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "vantrel: port back: COM1 (" + path + ")\n");
    EXPECT_FALSE(PortLost());
    EXPECT_NE(ComHandle, kInvalidHandle);
    // Lowered, then the PTT/DFCW line as the last request left it; the key stays off.
    EXPECT_EQ(LineCalls(sys_, mark), (std::vector<std::string>{"-DTR", "-RTS", "+DTR"}));
    EXPECT_NE(PortNote().find("is back"), std::string::npos);
    for (int i = 0; i < 5; ++i)
        RetryLostPort();
    EXPECT_EQ(PortNote(), "");

    mark = sys_.calls.size();
    SetKey(false);
    SetKey(true); // the next element
    EXPECT_EQ(LineCalls(sys_, mark), (std::vector<std::string>{"-RTS", "+RTS"}));
    ReleasePort();
    EXPECT_FALSE(PortOpen);
}

// A device that fails the lowering right at the opening is not taken as open.
TEST_F(LinuxDevicesTest, LinesThatCannotBeLoweredFailTheOpening)
{
    sys_.devices["/dev/ttyS0"] = 0;
    sys_.lineError = EIO;
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    PortNumber = 1;
    testing::internal::CaptureStderr();
    OpenSelectedPort();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(ComHandle, kInvalidHandle);
    EXPECT_EQ(sys_.calls.back().what, "close");
    EXPECT_NE(err.find("COM1 (/dev/ttyS0) not opened: its lines cannot be switched: Input/output error"),
              std::string::npos) << err;
}

// A port lost and never back still closes at exit without touching the device.
TEST_F(LinuxDevicesTest, LostPortClosesWithoutItsDevice)
{
    sys_.devices["/dev/ttyS0"] = 0;
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    PortNumber = 1;
    OpenSelectedPort();
    sys_.lineError = ENXIO;
    testing::internal::CaptureStderr();
    SetPtt(true);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(PortLost());
    const std::size_t mark = sys_.calls.size();
    ReleasePort();
    EXPECT_FALSE(PortOpen);
    EXPECT_FALSE(PortLost());
    EXPECT_EQ(sys_.calls.size(), mark);
    EmergencyStep steps[kMaxEmergencySteps];
    EXPECT_EQ(CurrentEmergencySteps(steps), -1);
}

// What a crash handler issues: both modem lines cleared on the open tty; on a
// parallel port the key and PTT pins low through ppdev, by the wiring, and a
// DFCW pin of its own with them.
TEST_F(LinuxDevicesTest, CrashStepsSwitchKeyAndPttOffOnTheOpenDescriptor)
{
    sys_.devices["/dev/ttyS4"] = 0;
    sys_.devices["/dev/parport1"] = 0;
    LinuxPortDevices devices(sys_, false, Environment({}));
    InstallPortDevices(&devices);
    EmergencyStep steps[kMaxEmergencySteps];

    PortNumber = 5;
    OpenSelectedPort();
    SetKey(true);
    ASSERT_EQ(CurrentEmergencySteps(steps), 2);
    for (const auto& step : steps) {
        EXPECT_EQ(step.kind, EmergencyStep::IoctlInt);
        EXPECT_EQ(step.fd, ComHandle);
        EXPECT_EQ(step.request, static_cast<unsigned long>(TIOCMBIC));
    }
    EXPECT_EQ(steps[0].value | steps[1].value, TIOCM_RTS | TIOCM_DTR);
    ReleasePort();
    EXPECT_EQ(CurrentEmergencySteps(steps), -1);

    PortNumber = kPortLpt2;
    sys_.control = 0x04;
    OpenSelectedPort();
    SetPtt(true);
    SetKey(true);
    ASSERT_EQ(CurrentEmergencySteps(steps), 1);
    EXPECT_EQ(steps[0].kind, EmergencyStep::IoctlByte);
    EXPECT_EQ(steps[0].fd, LptHandle);
    EXPECT_EQ(steps[0].request, static_cast<unsigned long>(PPWDATA));
    EXPECT_EQ(steps[0].value, 0xFC);
    ReleasePort();

    LptWiring = kWiringDx4win;
    sys_.control = 0x0B; // the fake reads back what the opening wrote
    OpenSelectedPort();
    SetPtt(true);
    SetKey(true);
    SetDfcw(true);
    ASSERT_EQ(CurrentEmergencySteps(steps), 2);
    EXPECT_EQ(steps[0].request, static_cast<unsigned long>(PPWCONTROL));
    EXPECT_EQ(steps[0].value, 0x0B); // pin 1 low (bit 0 set), pin 16 low (bit 2 clear)
    EXPECT_EQ(steps[1].request, static_cast<unsigned long>(PPWDATA));
    EXPECT_EQ(steps[1].value, 0xFC); // DFCW, pin 3, low
    ReleasePort();
}

} // namespace
