// The keying ports on Linux (GPIO lines and a radio's CAT PTT: linuxlines.cpp). COMn is a tty (/dev/ttyS{n-1}, or VANTREL_COMn):
// opened without blocking and without becoming the controlling terminal,
// claimed with flock and TIOCEXCL, refused when it has no modem lines; only
// RTS and DTR are used, and of the termios settings only HUPCL is set, so that
// the lines drop if the program dies. LPTn is a ppdev
// device (/dev/parport{n-1}, or VANTREL_LPTn) claimed with PPEXCL and PPCLAIM;
// its data and control registers are reached through PPWDATA, PPRCONTROL and
// PPWCONTROL. The PC speaker ports go to the kernel's speaker. With raw port
// I/O every register access goes to /dev/port instead (root only).
// A device that is missing, busy or not permitted fails the open with one
// line on standard error naming the device and the reason; the reason stays
// for the window that reports the opening (LastOpenFailure).
#pragma once

#include "gpiodevice.h"
#include "hamlibdevice.h"
#include "pcspeaker.h"
#include "portdevices.h"

#include <functional>
#include <string>

class SysCalls;

class LinuxPortDevices : public PortDevices, private PortIo {
public:
    using Env = std::function<std::string(const std::string& name)>;

    LinuxPortDevices(SysCalls& sys, bool rawPortIo, Env env);
    ~LinuxPortDevices() override;

    int OpenCom(int n) override;
    void EscapeCommFunction(int handle, CommFunction function) override;
    int OpenLpt(int n) override;
    void CloseHandle(int handle) override;
    PortIo& Io() override { return *this; }
    PortDescription Describe(int portNumber) const override;
    std::string LastOpenFailure() const override { return lastFailure_; }
    int TakeLineError() override;
    void QuietOpens(bool quiet) override { quiet_ = quiet; }
    EmergencyStep CrashComStep(int handle, CommFunction function) const override;
    EmergencyStep CrashOutStep(std::uint16_t address, std::uint8_t value) const override;

    int OpenLines(int portNumber) override;
    void SetLine(int handle, PortLine line, bool on) override;
    EmergencyStep CrashLinesStep(int handle) const override;
    // The radio's PTT through Hamlib, as a port: its handle (not a descriptor).
    static constexpr int kRadioHandle = 0x7FFF0000;

    HamlibRadio& Radio() { return radio_; }

    std::string ComPath(int n) const;
    std::string LptPath(int n) const;

private:
    std::uint8_t In(std::uint16_t address) override;
    void Out(std::uint16_t address, std::uint8_t value) override;
    int Failed(const std::string& port, const std::string& path, int fd, int error,
               const char* group);
    bool RawPort();
    void SetHangUpOnClose(const std::string& port, const std::string& path, int fd);

    SysCalls& sys_;
    bool raw_;
    Env env_;
    PcSpeaker speaker_;
    GpioLines gpio_;
    HamlibRadio radio_;
    int radioKeyFd_ = -1; // the tty whose RTS or DTR keys the radio
    bool radioKeyRts_ = true;
    int OpenRadio();
    void CloseRadio();
    int lptFd_ = -1;
    std::uint16_t lptBase_ = 0;
    int devPort_ = -1;
    bool devPortFailed_ = false;
    std::string lastFailure_;
    bool quiet_ = false;
    int lineError_ = 0;
    void NoteLineResult(int result);
};

// The environment as getenv sees it.
std::string ProcessEnv(const std::string& name);
