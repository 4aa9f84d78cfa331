#include "portdriver.h"

#include "linelog.h"
#include "portdevices.h"
#include "settings/settings.h"

#include <string>

bool PortOpen = false;
int ComHandle = kInvalidHandle;
int LptHandle = kInvalidHandle;
std::uint16_t LptBase = 0;
std::uint8_t LptLatch = 0;

namespace {

bool IsLpt() { return PortNumber >= kPortLpt1; }

// Any wiring byte other than the DX4WIN-compatible one acts as the standard
// wiring, as the port dialog shows it: a zero byte from a damaged settings file
// must not leave the pins high from the opening on.
bool Dx4winWiring() { return LptWiring == kWiringDx4win; }

std::string PortName()
{
    return IsLpt() ? "LPT" + std::to_string(PortNumber - 19) : "COM" + std::to_string(PortNumber);
}

std::uint16_t ControlRegister() { return static_cast<std::uint16_t>(LptBase + 2); }

void WriteLatch() { Devices().Io().Out(LptBase, LptLatch); }

void SetLatchBit(std::uint8_t bit, bool on)
{
    LptLatch = on ? LptLatch | bit : LptLatch & ~bit;
    WriteLatch();
}

// Read-modify-write of the control register.
void SetControlBit(std::uint8_t bit, bool set)
{
    PortIo& io = Devices().Io();
    const std::uint8_t value = io.In(ControlRegister());
    io.Out(ControlRegister(), set ? value | bit : value & ~bit);
}

// The PTT/DFCW line or the key line of a serial port.
void SetComLine(bool keyLine, bool on)
{
    const bool rts = keyLine != ComSwap;
    const CommFunction f = rts ? (on ? CommFunction::SetRts : CommFunction::ClrRts)
                               : (on ? CommFunction::SetDtr : CommFunction::ClrDtr);
    Devices().EscapeCommFunction(ComHandle, f);
}

void CloseHandleOf(int& handle)
{
    if (!PortOpen || handle == kInvalidHandle)
        return;
    const std::string name = PortName();
    Devices().CloseHandle(handle);
    handle = kInvalidHandle;
    PortOpen = false;
    LogLine("close " + name);
}

} // namespace

void OpenSelectedPort()
{
    if (IsLpt())
        OpenLptPort(PortNumber - 19);
    else
        OpenComPort(PortNumber);
}

void CloseSelectedPort()
{
    if (IsLpt())
        CloseLptPort();
    else
        CloseComPort();
}

void OpenComPort(int n)
{
    PortOpen = false;
    if (n <= 0 || n >= 10)
        return;
    ComHandle = Devices().OpenCom(n);
    if (ComHandle == kInvalidHandle)
        return;
    PortOpen = true;
    // Opening a tty raises both lines; lower them at once.
    Devices().EscapeCommFunction(ComHandle, CommFunction::ClrDtr);
    Devices().EscapeCommFunction(ComHandle, CommFunction::ClrRts);
    LogLine("open COM" + std::to_string(n)); // after the lines it leaves
}

void CloseComPort() { CloseHandleOf(ComHandle); }

void OpenLptPort(int n)
{
    std::uint16_t base;
    if (n == 1)
        base = ioaddr::Lpt1Base;
    else if (n == 2)
        base = ioaddr::Lpt2Base;
    else
        return;
    LptBase = base;
    LptHandle = Devices().OpenLpt(n);
    if (LptHandle == kInvalidHandle)
        return;
    PortOpen = true;
    LptLatch = 0xFF;
    WriteLatch();
    PortIo& io = Devices().Io();
    io.Out(ControlRegister(), static_cast<std::uint8_t>((io.In(ControlRegister()) & 0xF0) | 0x0B));
    LogLine("open LPT" + std::to_string(n)); // after the pins it leaves
}

void CloseLptPort() { CloseHandleOf(LptHandle); }

void ReleasePort()
{
    if (!PortOpen)
        return;
    SetKey(false);
    SetPtt(false);
    CloseSelectedPort();
}

void SetKey(bool on)
{
    if (!PortOpen)
        return;
    if (!IsLpt())
        SetComLine(true, on);
    else if (Dx4winWiring())
        SetControlBit(0x01, !on); // pin 1 is inverted: bit clear = pin high
    else
        SetLatchBit(0x01, on);
    LogLine("key", on);
}

void SetPtt(bool on)
{
    if (!PortOpen)
        return;
    if (!IsLpt())
        SetComLine(false, on);
    else if (Dx4winWiring())
        SetControlBit(0x04, on);
    else
        SetLatchBit(0x02, on);
    LogLine("ptt", on);
}

void SetDfcw(bool level)
{
    if (!PortOpen)
        return;
    if (!IsLpt())
        SetComLine(false, level);
    else
        SetLatchBit(0x02, level); // pin 3 in both wirings
    LogLine("dfcw", level);
}
