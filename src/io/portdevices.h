// The devices behind the keying port driver: serial ports by their modem
// lines, parallel ports by a claim on the device and their registers through
// the port-I/O layer. One implementation is installed for the whole program:
// the Linux devices, or simulated hardware (VANTREL_PORT=sim, tests).
#pragma once

#include "portio.h"

#include <cstdint>

// The modem-line requests on a serial port.
enum class CommFunction : std::uint8_t { SetRts = 3, ClrRts = 4, SetDtr = 5, ClrDtr = 6 };

inline constexpr int kInvalidHandle = -1;

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
};

// The devices the driver and the speaker use. Never null after start-up;
// before anything is installed, a set of devices that opens nothing answers.
PortDevices& Devices();
// Installs `devices` (not owned); nullptr puts back the set that opens nothing.
void InstallPortDevices(PortDevices* devices);
