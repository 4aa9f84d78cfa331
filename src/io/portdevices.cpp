#include "portdevices.h"

#include "settings/settingrules.h"
#include "settings/settings.h"

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
bool openingsEnded = false;

// What the driver and the speaker reach: the installed devices behind the
// process's crash fence, so that nothing switches a line or opens a device
// once a crash handler has switched the lines off (a device that opens can
// raise its lines: a tty raises RTS and DTR). After EndPortOpenings nothing
// opens either.
class FencedDevices : public PortDevices, public PortIo {
public:
    int OpenCom(int n) override { return Open([n] { return installed->OpenCom(n); }); }
    void EscapeCommFunction(int handle, CommFunction function) override
    {
        if (const FencedRequest request; request.Allowed())
            installed->EscapeCommFunction(handle, function);
    }
    int OpenLpt(int n) override { return Open([n] { return installed->OpenLpt(n); }); }
    // A descriptor closed under a crash handler could be reused for another
    // file before the handler's requests on it.
    void CloseHandle(int handle) override
    {
        if (const FencedRequest request; request.Allowed())
            installed->CloseHandle(handle);
    }
    PortIo& Io() override { return *this; }
    std::uint8_t In(std::uint16_t address) override { return installed->Io().In(address); }
    void Out(std::uint16_t address, std::uint8_t value) override
    {
        if (const FencedRequest request; request.Allowed())
            installed->Io().Out(address, value);
    }

    PortDescription Describe(int portNumber) const override { return installed->Describe(portNumber); }
    std::string LastOpenFailure() const override
    {
        return refused_ ? "the program is ending" : installed->LastOpenFailure();
    }
    std::string Outputs(int portNumber) const override { return installed->Outputs(portNumber); }
    int TakeLineError() override { return installed->TakeLineError(); }
    void QuietOpens(bool quiet) override { installed->QuietOpens(quiet); }
    EmergencyStep CrashComStep(int handle, CommFunction function) const override
    {
        return installed->CrashComStep(handle, function);
    }
    EmergencyStep CrashOutStep(std::uint16_t address, std::uint8_t value) const override
    {
        return installed->CrashOutStep(address, value);
    }
    int OpenLines(int n) override { return Open([n] { return installed->OpenLines(n); }); }
    void SetLine(int handle, PortLine line, bool on) override
    {
        if (const FencedRequest request; request.Allowed())
            installed->SetLine(handle, line, on);
    }
    EmergencyStep CrashLinesStep(int handle) const override { return installed->CrashLinesStep(handle); }

private:
    template <class OpenDevice>
    int Open(OpenDevice open)
    {
        const FencedRequest request;
        refused_ = !request.Allowed() || openingsEnded;
        return refused_ ? kInvalidHandle : open();
    }

    bool refused_ = false;
};

FencedDevices fenced;

} // namespace

bool IsKnownPortNumber(int portNumber)
{
    return portNumber != kPortNone && PortNumberValid(portNumber);
}

std::string PortNameOf(int portNumber)
{
    if (!IsKnownPortNumber(portNumber))
        return "port " + std::to_string(portNumber);
    if (portNumber == kPortGpio)
        return "GPIO";
    if (portNumber == kPortHamlib)
        return "Radio";
    return portNumber >= 20 ? "LPT" + std::to_string(portNumber - 19) : "COM" + std::to_string(portNumber);
}

std::string UnknownPortText(int portNumber)
{
    return "port number " + std::to_string(portNumber)
        + " in the settings is no port (1 to 9 are COM1 to COM9, 20 and 21 are LPT1 and LPT2, 30 the GPIO lines, 31 a radio); no port is opened";
}

PortDescription PortDevices::Describe(int) const { return {}; }

std::string PortDevices::Outputs(int) const { return {}; }

PortDevices& Devices() { return fenced; }

void InstallPortDevices(PortDevices* devices) { installed = devices != nullptr ? devices : &noDevices; }

void EndPortOpenings() { openingsEnded = true; }
