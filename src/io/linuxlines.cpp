// The ports of named lines on Linux: GPIO lines, and a radio whose PTT goes
// by CAT (Hamlib) with its key, if any, on a tty's RTS or DTR.
#include "linuxdevices.h"

#include "settings/settings.h"
#include "syscalls.h"

#include <cerrno>
#include <cstdio>
#include <utility>
#include <sys/ioctl.h>

int LinuxPortDevices::OpenLines(int portNumber)
{
    lastFailure_.clear();
    if (portNumber == kPortHamlib)
        return OpenRadio();
    const int fd = portNumber == kPortGpio ? gpio_.Open() : kInvalidHandle;
    if (fd < 0 && portNumber == kPortGpio) {
        lastFailure_ = gpio_.Failure();
        if (!quiet_)
            std::fprintf(stderr, "vantrel: GPIO (%s) not opened: %s\n", gpio_.FailedChip().c_str(),
                         gpio_.FailureReason().c_str());
    }
    return fd;
}

int LinuxPortDevices::OpenRadio()
{
    if (!radio_.Open()) {
        lastFailure_ = "Radio (" + radio_.FailedDevice() + "): " + radio_.FailureReason();
        if (!quiet_)
            std::fprintf(stderr, "vantrel: Radio (%s) not opened: %s\n", radio_.FailedDevice().c_str(),
                         radio_.FailureReason().c_str());
        return kInvalidHandle;
    }
    radioKeyRts_ = radio_.KeyOnRts();
    if (const int n = radio_.KeyCom(); n != 0) {
        radioKeyFd_ = OpenCom(n); // says why it failed
        int both = TIOCM_RTS | TIOCM_DTR;
        if (radioKeyFd_ >= 0 && sys_.Ioctl(radioKeyFd_, TIOCMBIC, &both) != 0)
            Failed("COM" + std::to_string(n), ComPath(n), std::exchange(radioKeyFd_, -1), errno, "dialout");
        if (radioKeyFd_ < 0) {
            radio_.Close();
            return kInvalidHandle;
        }
    }
    return kRadioHandle;
}

void LinuxPortDevices::CloseRadio()
{
    if (radioKeyFd_ >= 0) {
        int both = TIOCM_RTS | TIOCM_DTR;
        sys_.Ioctl(radioKeyFd_, TIOCMBIC, &both);
        sys_.Close(std::exchange(radioKeyFd_, -1));
    }
    radio_.Close();
}

void LinuxPortDevices::SetLine(int handle, PortLine line, bool on)
{
    if (handle >= 0 && handle == gpio_.Fd()) {
        NoteLineResult(gpio_.Set(line, on));
    } else if (handle == kRadioHandle && line == PortLine::Ptt) {
        if (const int error = radio_.SetPtt(on); error != 0 && lineError_ == 0)
            lineError_ = error;
    } else if (handle == kRadioHandle && line == PortLine::Key && radioKeyFd_ >= 0) {
        EscapeCommFunction(radioKeyFd_, radioKeyRts_ ? (on ? CommFunction::SetRts : CommFunction::ClrRts)
                                                     : (on ? CommFunction::SetDtr : CommFunction::ClrDtr));
    }
    // A radio has no DFCW select: the sound card's tone carries DFCW.
}

EmergencyStep LinuxPortDevices::CrashLinesStep(int handle) const
{
    if (handle >= 0 && handle == gpio_.Fd())
        return gpio_.CrashStep();
    // The CAT PTT cannot be switched from a signal handler: --release-port does it.
    if (handle == kRadioHandle && radioKeyFd_ >= 0)
        return {EmergencyStep::IoctlInt, radioKeyFd_, TIOCMBIC, TIOCM_RTS | TIOCM_DTR, 0};
    return {};
}
