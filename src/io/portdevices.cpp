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

std::string PortNameOf(int portNumber)
{
    if (portNumber == 30)
        return "GPIO";
    if (portNumber == 31)
        return "Radio";
    return portNumber >= 20 ? "LPT" + std::to_string(portNumber - 19) : "COM" + std::to_string(portNumber);
}

PortDescription PortDevices::Describe(int) const { return {}; }

std::string PortDevices::Outputs(int) const { return {}; }

PortDevices& Devices() { return *installed; }

void InstallPortDevices(PortDevices* devices) { installed = devices != nullptr ? devices : &noDevices; }
