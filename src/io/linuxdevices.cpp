#include "linuxdevices.h"

#include "portholders.h"
#include "settings/portsfile.h"
#include "settings/settings.h"
#include "syscalls.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <utility>

namespace {

// The group that may open `path`, by the device's own group where it has one.
std::string GroupOf(const std::string& path, const char* fallback)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (const group* g = ::getgrgid(info.st_gid); g != nullptr && info.st_gid != 0)
            return g->gr_name;
    }
    return fallback;
}

} // namespace

std::string ProcessEnv(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

LinuxPortDevices::LinuxPortDevices(SysCalls& sys, bool rawPortIo, Env env)
    : sys_(sys), raw_(rawPortIo), env_(std::move(env)), speaker_(sys), gpio_(sys, env_, kPortsFileName),
      radio_(env_, kPortsFileName)
{
}

LinuxPortDevices::~LinuxPortDevices()
{
    if (lptFd_ >= 0)
        CloseHandle(lptFd_);
    if (devPort_ >= 0)
        sys_.Close(devPort_);
}

std::string LinuxPortDevices::ComPath(int n) const
{
    const std::string configured = env_("VANTREL_COM" + std::to_string(n));
    return !configured.empty() ? configured : "/dev/ttyS" + std::to_string(n - 1);
}

std::string LinuxPortDevices::LptPath(int n) const
{
    const std::string configured = env_("VANTREL_LPT" + std::to_string(n));
    return !configured.empty() ? configured : "/dev/parport" + std::to_string(n - 1);
}

int LinuxPortDevices::Failed(const std::string& port, const std::string& path, int fd, int error,
                             const char* group)
{
    if (fd >= 0)
        sys_.Close(fd);
    std::string reason;
    if (error == EACCES || error == EPERM)
        reason = "permission denied; the user needs to be in the group " + GroupOf(path, group);
    else if (error == EWOULDBLOCK || error == EBUSY) {
        const std::string users = ProcessesUsing(path);
        reason = "in use by another program" + (users.empty() ? "" : ": " + users);
    } else if (error == ENOTTY)
        reason = "not a serial port with RTS and DTR lines";
    else
        reason = std::strerror(error);
    lastFailure_ = port + " (" + path + "): " + reason;
    if (!quiet_)
        std::fprintf(stderr, "vantrel: %s (%s) not opened: %s\n", port.c_str(), path.c_str(), reason.c_str());
    return kInvalidHandle;
}

int LinuxPortDevices::OpenCom(int n)
{
    lastFailure_.clear();
    const std::string port = "COM" + std::to_string(n);
    const std::string path = ComPath(n);
    const int fd = sys_.Open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failed(port, path, fd, errno, "dialout");
    if (sys_.Flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Failed(port, path, fd, errno, "dialout");
    // Later opens by others fail with EBUSY, except root's; flock keeps out a
    // second Vantrel even then. Its result is not examined.
    sys_.Ioctl(fd, TIOCEXCL, nullptr);
    // A device without modem lines (a pseudo-terminal, a wrong device) refuses
    // every line request with ENOTTY: it cannot key anything, so it is refused.
    int lines = 0;
    if (sys_.Ioctl(fd, TIOCMGET, &lines) != 0)
        return Failed(port, path, fd, errno, "dialout");
    SetHangUpOnClose(port, path, fd);
    return fd;
}

// HUPCL drops RTS and DTR when the last descriptor closes, so the lines fall
// however the program ends; another program may have cleared it. Only that
// flag changes: the rest of the line settings are written back as read.
void LinuxPortDevices::SetHangUpOnClose(const std::string& port, const std::string& path, int fd)
{
    termios settings {};
    bool done = sys_.Ioctl(fd, TCGETS, &settings) == 0;
    if (done && (settings.c_cflag & HUPCL) != 0)
        return;
    if (done) {
        settings.c_cflag |= HUPCL;
        done = sys_.Ioctl(fd, TCSETS, &settings) == 0;
    }
    if (!done)
        std::fprintf(stderr, "vantrel: %s (%s): hang-up on close not set: %s\n", port.c_str(), path.c_str(),
                     std::strerror(errno));
}

namespace {

// The modem-line ioctl and its bit for one request.
std::pair<unsigned long, int> ModemRequest(CommFunction function)
{
    const int bits = function == CommFunction::SetRts || function == CommFunction::ClrRts ? TIOCM_RTS : TIOCM_DTR;
    const bool set = function == CommFunction::SetRts || function == CommFunction::SetDtr;
    return {set ? TIOCMBIS : TIOCMBIC, bits};
}

} // namespace

void LinuxPortDevices::EscapeCommFunction(int handle, CommFunction function)
{
    auto [request, bits] = ModemRequest(function);
    NoteLineResult(sys_.Ioctl(handle, request, &bits));
}

void LinuxPortDevices::NoteLineResult(int result)
{
    if (result < 0 && lineError_ == 0)
        lineError_ = errno != 0 ? errno : EIO;
}

int LinuxPortDevices::TakeLineError() { return std::exchange(lineError_, 0); }

EmergencyStep LinuxPortDevices::CrashComStep(int handle, CommFunction function) const
{
    const auto [request, bits] = ModemRequest(function);
    return {EmergencyStep::IoctlInt, handle, request, bits, 0};
}

EmergencyStep LinuxPortDevices::CrashOutStep(std::uint16_t address, std::uint8_t value) const
{
    if (raw_)
        return devPort_ >= 0 ? EmergencyStep{EmergencyStep::PortWrite, devPort_, 0, value, address} : EmergencyStep{};
    if (lptFd_ >= 0 && address == lptBase_)
        return {EmergencyStep::IoctlByte, lptFd_, PPWDATA, value, 0};
    if (lptFd_ >= 0 && address == lptBase_ + 2)
        return {EmergencyStep::IoctlByte, lptFd_, PPWCONTROL, value, 0};
    return {};
}

int LinuxPortDevices::OpenLpt(int n)
{
    const std::string port = "LPT" + std::to_string(n);
    lastFailure_.clear();
    if (raw_) {
        // Direct register access claims nothing; the handle is an open of /dev/port.
        if (!RawPort()) {
            lastFailure_ = port + " (/dev/port): raw port I/O needs root";
            return kInvalidHandle;
        }
        const int fd = sys_.Open("/dev/port", O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            lastFailure_ = port + " (/dev/port): " + std::strerror(errno);
            return kInvalidHandle;
        }
        lptFd_ = fd;
        lptBase_ = n == 1 ? 0x378 : 0x278;
        return fd;
    }
    const std::string path = LptPath(n);
    const int fd = sys_.Open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return Failed(port, path, fd, errno, "lp");
    if (sys_.Ioctl(fd, PPEXCL, nullptr) != 0 || sys_.Ioctl(fd, PPCLAIM, nullptr) != 0)
        return Failed(port, path, fd, errno, "lp");
    lptFd_ = fd;
    lptBase_ = n == 1 ? 0x378 : 0x278;
    return fd;
}

void LinuxPortDevices::CloseHandle(int handle)
{
    if (handle < 0)
        return;
    if (handle == gpio_.Fd())
        return gpio_.Close();
    if (handle == kRadioHandle)
        return CloseRadio();
    if (handle == lptFd_) {
        if (!raw_)
            sys_.Ioctl(handle, PPRELEASE, nullptr);
        lptFd_ = -1;
        lptBase_ = 0;
    }
    sys_.Close(handle);
}

PortDescription LinuxPortDevices::Describe(int portNumber) const
{
    std::string path;
    if (portNumber >= 1 && portNumber <= 9)
        path = ComPath(portNumber);
    else if (portNumber == kPortGpio)
        return gpio_.Describe();
    else if (portNumber == kPortHamlib)
        return radio_.Describe();
    else if (portNumber == 20 || portNumber == 21)
        path = raw_ ? "/dev/port" : LptPath(portNumber - 19);
    else
        return {};
    struct stat info {};
    // stat follows links: a /dev/serial/by-id link of an unplugged adapter is not present.
    return {path, ::stat(path.c_str(), &info) == 0};
}

bool LinuxPortDevices::RawPort()
{
    if (devPort_ >= 0)
        return true;
    if (devPortFailed_)
        return false;
    devPort_ = sys_.Open("/dev/port", O_RDWR | O_CLOEXEC);
    if (devPort_ < 0) {
        devPortFailed_ = true;
        std::fprintf(stderr, "vantrel: /dev/port not opened (raw port I/O needs root): %s\n",
                     std::strerror(errno));
        return false;
    }
    return true;
}

std::uint8_t LinuxPortDevices::In(std::uint16_t address)
{
    std::uint8_t value = 0xFF;
    if (raw_) {
        if (RawPort())
            sys_.Pread(devPort_, &value, 1, address);
        return value;
    }
    if (address == 0x61)
        return speaker_.SystemControl();
    if (lptFd_ >= 0 && address == lptBase_ + 2)
        NoteLineResult(sys_.Ioctl(lptFd_, PPRCONTROL, &value));
    else if (lptFd_ >= 0 && address == lptBase_)
        NoteLineResult(sys_.Ioctl(lptFd_, PPRDATA, &value));
    return value;
}

void LinuxPortDevices::Out(std::uint16_t address, std::uint8_t value)
{
    if (raw_) {
        if (RawPort())
            NoteLineResult(sys_.Pwrite(devPort_, &value, 1, address) == 1 ? 0 : -1);
        return;
    }
    if (speaker_.Out(address, value))
        return;
    if (lptFd_ >= 0 && address == lptBase_)
        NoteLineResult(sys_.Ioctl(lptFd_, PPWDATA, &value));
    else if (lptFd_ >= 0 && address == lptBase_ + 2)
        NoteLineResult(sys_.Ioctl(lptFd_, PPWCONTROL, &value));
}
