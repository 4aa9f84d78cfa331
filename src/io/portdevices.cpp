#include "portdevices.h"

namespace {

// What the driver sees before any devices are installed: nothing opens.
class NoDevices : public PortDevices, public PortIo {
public:
    int OpenCom(int) override { return kInvalidHandle; }
    void EscapeCommFunction(int, CommFunction) override {}
    int OpenLpt(int) override { return kInvalidHandle; }
    void CloseHandle(int) override {}
    PortIo& Io() override { return *this; }
    std::uint8_t In(std::uint16_t) override { return 0xFF; }
    void Out(std::uint16_t, std::uint8_t) override {}
};

NoDevices noDevices;
PortDevices* installed = &noDevices;

} // namespace

bool IsKnownPortNumber(int portNumber)
{
    return (portNumber >= 1 && portNumber <= 9) || portNumber == 20 || portNumber == 21;
}

std::string PortNameOf(int portNumber)
{
    if (!IsKnownPortNumber(portNumber))
        return "port " + std::to_string(portNumber);
    return portNumber >= 20 ? "LPT" + std::to_string(portNumber - 19) : "COM" + std::to_string(portNumber);
}

std::string UnknownPortText(int portNumber)
{
    return "port number " + std::to_string(portNumber)
        + " in the settings is no port (1 to 9 are COM1 to COM9, 20 and 21 are LPT1 and LPT2); no port is opened";
}

PortDescription PortDevices::Describe(int) const { return {}; }

std::string PortDevices::Outputs(int) const { return {}; }

PortDevices& Devices() { return *installed; }

void InstallPortDevices(PortDevices* devices) { installed = devices != nullptr ? devices : &noDevices; }
