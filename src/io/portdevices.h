// The devices behind the keying port driver: serial ports by their modem
// lines, parallel ports by a claim on the device and their registers through
// the port-I/O layer. One implementation is installed for the whole program:
// the Linux devices, or simulated hardware (VANTREL_PORT=sim, tests).
#pragma once

#include "emergency.h"
#include "portio.h"

#include <cstdint>
#include <string>

// The modem-line requests on a serial port.
enum class CommFunction : std::uint8_t { SetRts = 3, ClrRts = 4, SetDtr = 5, ClrDtr = 6 };

inline constexpr int kInvalidHandle = -1;

// "COM3", "LPT1", "GPIO" or "Radio" for a port selector value (1..9 COMn, 20
// and 21 LPTn, 30 the GPIO lines, 31 a radio's CAT PTT).
// "port 15" for a value that names no port.
std::string PortNameOf(int portNumber);
// 1..9, 20, 21, 30 and 31: the values that name a port (0 names none).
bool IsKnownPortNumber(int portNumber);
// What to tell the user of a port selector value that names no port.
std::string UnknownPortText(int portNumber);

// The outputs of a port whose lines are named in VANTREL.PORTS (GPIO, Radio).
enum class PortLine : std::uint8_t { Key, Ptt, Dfcw };

// What a port stands for on this machine, as the user should know it.
struct PortDescription {
    std::string device;   // its device path, or what stands in for it; empty: no port opens
    bool present = false; // the device is there now
};

class PortDevices {
public:
    virtual ~PortDevices() = default;
    // Opens COMn exclusively; kInvalidHandle when missing, busy or not permitted.
    virtual int OpenCom(int n) = 0;
    virtual void EscapeCommFunction(int handle, CommFunction function) = 0;
    // Claims LPTn exclusively; its registers then answer through Io().
    virtual int OpenLpt(int n) = 0;
    virtual void CloseHandle(int handle) = 0;
    virtual PortIo& Io() = 0;

    // For the user choosing a port: COMn (1..9) or LPTn (19 + n).
    virtual PortDescription Describe(int portNumber) const;
    // Why the last OpenCom or OpenLpt failed, naming the port; empty when unknown.
    virtual std::string LastOpenFailure() const { return {}; }
    // The outputs of COMn (1..9) or LPTn (19 + n) as they stand, such as
    // "[RTS 0 DTR 1]"; empty where they cannot be seen from here.
    virtual std::string Outputs(int portNumber) const;
    // The error (errno) of the first line request or register access that
    // failed since the last call, 0 when none did; the call clears it.
    virtual int TakeLineError() { return 0; }
    // While on, a failed opening says nothing (a lost port is retried every second).
    virtual void QuietOpens(bool) {}
    // The system request that does `function` on `handle`, or writes `value`
    // at `address` of the open parallel port, as a crash handler issues it;
    // kind None where no system request stands behind it (simulated ports).
    virtual EmergencyStep CrashComStep(int, CommFunction) const { return {}; }
    virtual EmergencyStep CrashOutStep(std::uint16_t, std::uint8_t) const { return {}; }

    // A port of named lines (kPortGpio, kPortHamlib): opened with every line at its
    // inactive level, or kInvalidHandle (LastOpenFailure says why). Its line
    // errors go to TakeLineError; CloseHandle closes it.
    virtual int OpenLines(int) { return kInvalidHandle; }
    virtual void SetLine(int, PortLine, bool) {}
    // The one request that switches every line of `handle` inactive, for a crash.
    virtual EmergencyStep CrashLinesStep(int) const { return {}; }
};

// The devices the driver and the speaker use, behind the process's crash
// fence (emergency.h): once a crash handler has begun, no request reaches
// them. Before anything is installed, a set of devices that opens nothing answers.
PortDevices& Devices();
// Installs `devices` (not owned); nullptr puts back the set that opens nothing.
void InstallPortDevices(PortDevices* devices);
// The program is ending: from now on no port opens, whatever a window that a
// signal cut short goes on to do. UI thread.
void EndPortOpenings();
