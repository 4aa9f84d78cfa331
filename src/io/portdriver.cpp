#include "portdriver.h"

#include "emergency.h"
#include "linelog.h"
#include "portdevices.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

bool PortOpen = false;
int ComHandle = kInvalidHandle;
int LptHandle = kInvalidHandle;
int LineHandle = kInvalidHandle;
std::uint16_t LptBase = 0;
std::uint8_t LptLatch = 0;

namespace {

constexpr std::uint8_t kLptKeyBit = 0x01, kLptPttBit = 0x02;
// The data register after an opening: pins 4 to 9 high, as they stay for the
// run; key (pin 2) and PTT/DFCW (pin 3) low until the engine asks for them.
constexpr std::uint8_t kLptOpenLatch = 0xFF & ~(kLptKeyBit | kLptPttBit);
// After a lost port is back, the status line says so for this many retries.
constexpr int kBackNoteRetries = 5;

// What the callers asked of PTT and DFCW last, whether or not it reached the
// device: restored when a lost device is back (the key is not: it follows its
// next request). The two may share one output, so which came last is kept too.
struct WantedLines {
    bool ptt = false, dfcw = false;
    bool dfcwAsked = false;
    bool pttLast = true;
};

WantedLines wanted;
bool lost = false;
std::string lostReason;
int backNoteRetries = 0;
std::uint8_t controlShadow = 0; // last value written to the control register
std::string openFailure;        // why OpenSelectedPort opened nothing, where the devices cannot say

bool IsLines() { return PortNumber == kPortGpio || PortNumber == kPortHamlib; }
bool IsLpt() { return PortNumber >= kPortLpt1 && !IsLines(); }

// Any wiring byte other than the DX4WIN-compatible one acts as the standard
// wiring, as the port dialog shows it: a zero byte from a damaged settings file
// must not leave the pins high from the opening on.
bool Dx4winWiring() { return LptWiring == kWiringDx4win; }

// Only there does DFCW have a pin of its own, which key off and PTT off leave as it is.
bool DfcwOwnLine() { return IsLpt() && Dx4winWiring(); }

std::string PortName() { return PortNameOf(PortNumber); }

int& Handle() { return IsLines() ? LineHandle : IsLpt() ? LptHandle : ComHandle; }

std::uint16_t ControlRegister() { return static_cast<std::uint16_t>(LptBase + 2); }

void WriteLatch() { Devices().Io().Out(LptBase, LptLatch); }

void WriteControl(std::uint8_t value)
{
    controlShadow = value;
    Devices().Io().Out(ControlRegister(), value);
}

void SetLatchBit(std::uint8_t bit, bool on)
{
    LptLatch = on ? LptLatch | bit : LptLatch & ~bit;
    WriteLatch();
}

// Read-modify-write of the control register.
void SetControlBit(std::uint8_t bit, bool set)
{
    const std::uint8_t value = Devices().Io().In(ControlRegister());
    WriteControl(set ? value | bit : value & ~bit);
}

// The PTT/DFCW line or the key line of a serial port.
void SetComLine(bool keyLine, bool on)
{
    const bool rts = keyLine != ComSwap;
    const CommFunction f = rts ? (on ? CommFunction::SetRts : CommFunction::ClrRts)
                               : (on ? CommFunction::SetDtr : CommFunction::ClrDtr);
    Devices().EscapeCommFunction(ComHandle, f);
}

void ApplyKey(bool on)
{
    if (IsLines())
        Devices().SetLine(LineHandle, PortLine::Key, on);
    else if (!IsLpt())
        SetComLine(true, on);
    else if (Dx4winWiring())
        SetControlBit(0x01, !on); // pin 1 is inverted: bit clear = pin high
    else
        SetLatchBit(kLptKeyBit, on);
}

void ApplyPtt(bool on)
{
    if (IsLines())
        Devices().SetLine(LineHandle, PortLine::Ptt, on);
    else if (!IsLpt())
        SetComLine(false, on);
    else if (Dx4winWiring())
        SetControlBit(0x04, on);
    else
        SetLatchBit(kLptPttBit, on);
}

void ApplyDfcw(bool level)
{
    if (IsLines())
        Devices().SetLine(LineHandle, PortLine::Dfcw, level);
    else if (!IsLpt())
        SetComLine(false, level);
    else
        SetLatchBit(kLptPttBit, level); // pin 3 in both wirings
}

// The requests that switch key and PTT off as they stand now, for a crash.
void PlanEmergency()
{
    if (!PortOpen || lost) {
        ClearEmergencySteps();
        return;
    }
    EmergencyStep steps[kMaxEmergencySteps];
    int count = 0;
    if (IsLines()) {
        steps[count++] = Devices().CrashLinesStep(LineHandle);
    } else if (!IsLpt()) {
        steps[count++] = Devices().CrashComStep(ComHandle, CommFunction::ClrRts);
        steps[count++] = Devices().CrashComStep(ComHandle, CommFunction::ClrDtr);
    } else if (Dx4winWiring()) {
        steps[count++] = Devices().CrashOutStep(ControlRegister(), (controlShadow | 0x01) & ~0x04);
        steps[count++] = Devices().CrashOutStep(LptBase, LptLatch & ~kLptPttBit); // DFCW
    } else {
        steps[count++] = Devices().CrashOutStep(LptBase, LptLatch & ~(kLptKeyBit | kLptPttBit));
    }
    SetEmergencySteps(steps, count);
}

std::string DeviceText() { return PortName() + " (" + Devices().Describe(PortNumber).device + ")"; }

// A line request failed: the device is gone or broken. Said once; the handle
// is given up so that the device can come back under the same path.
void Lose(int error)
{
    lost = true;
    lostReason = std::strerror(error);
    backNoteRetries = 0;
    const std::string text = "port lost: " + DeviceText() + ": " + lostReason;
    std::fprintf(stderr, "vantrel: %s\n", text.c_str());
    LogLine(text);
    int& handle = Handle();
    Devices().CloseHandle(handle);
    handle = kInvalidHandle;
    PlanEmergency();
}

// One line operation on the device; false when the device failed it.
bool Request(void (*apply)(bool), bool level, const char* what)
{
    apply(level);
    if (const int error = Devices().TakeLineError(); error != 0) {
        Lose(error);
        return false;
    }
    LogLine(what, level);
    PlanEmergency();
    return true;
}

void ForgetLines()
{
    wanted = {};
    lost = false;
    backNoteRetries = 0;
}

// Both lines low at once after an opening of the serial device; the error
// when the device refused, else 0.
int LowerComLines()
{
    Devices().TakeLineError();
    Devices().EscapeCommFunction(ComHandle, CommFunction::ClrDtr);
    Devices().EscapeCommFunction(ComHandle, CommFunction::ClrRts);
    return Devices().TakeLineError();
}

// The parallel registers after an opening: data pins from `latch`, control
// pins 1, 14, 16 and 17 low, bits 4 to 7 as read.
bool InitLptRegisters(std::uint8_t latch)
{
    Devices().TakeLineError();
    LptLatch = latch;
    WriteLatch();
    WriteControl(static_cast<std::uint8_t>((Devices().Io().In(ControlRegister()) & 0xF0) | 0x0B));
    return Devices().TakeLineError() == 0;
}

// Opens the device of a lost port again, quietly; lines low, then PTT and
// DFCW as the callers want them now. The key waits for its next request, so
// a mark that began while the port was lost is not keyed in its middle.
void Reopen()
{
    const int n = IsLpt() ? PortNumber - 19 : PortNumber;
    Devices().QuietOpens(true);
    const int handle = IsLines() ? Devices().OpenLines(PortNumber)
                       : IsLpt() ? Devices().OpenLpt(n)
                                 : Devices().OpenCom(n);
    Devices().QuietOpens(false);
    if (handle == kInvalidHandle)
        return;
    Handle() = handle;
    // A port of named lines opens with all of them inactive.
    const bool low = IsLines() || (IsLpt() ? InitLptRegisters(kLptOpenLatch) : LowerComLines() == 0);
    if (!low) {
        Devices().CloseHandle(handle);
        Handle() = kInvalidHandle;
        return;
    }
    lost = false;
    const std::string text = "port back: " + DeviceText();
    std::fprintf(stderr, "vantrel: %s\n", text.c_str());
    LogLine(text);
    // Where PTT and DFCW share one output, only the request that came last
    // stands: restoring the other first would pulse the line.
    bool ok = true;
    if (DfcwOwnLine()) {
        ok = (!wanted.dfcwAsked || Request(ApplyDfcw, wanted.dfcw, "dfcw"))
            && Request(ApplyPtt, wanted.ptt, "ptt");
    } else if (wanted.pttLast) {
        ok = Request(ApplyPtt, wanted.ptt, "ptt");
    } else {
        ok = Request(ApplyDfcw, wanted.dfcw, "dfcw");
    }
    backNoteRetries = ok ? kBackNoteRetries : 0;
    PlanEmergency();
}

void CloseHandleOf(int& handle)
{
    if (!PortOpen || (handle == kInvalidHandle && !lost))
        return;
    const std::string name = PortName();
    // The pins keep their state after the close: a DFCW pin of its own goes
    // low with the port, as key and PTT went before it.
    if (DfcwOwnLine() && !lost)
        Request(ApplyDfcw, false, "dfcw");
    if (handle != kInvalidHandle)
        Devices().CloseHandle(handle);
    handle = kInvalidHandle;
    PortOpen = false;
    ForgetLines();
    ClearEmergencySteps();
    LogLine("close " + name);
}

} // namespace

void OpenSelectedPort()
{
    openFailure.clear();
    if (PortNumber != kPortNone && !IsKnownPortNumber(PortNumber)) {
        // Only from a settings file edited by hand or by another program.
        openFailure = UnknownPortText(PortNumber);
        std::fprintf(stderr, "vantrel: %s\n", openFailure.c_str());
    } else if (IsLines()) {
        OpenLinePort();
    } else if (IsLpt()) {
        OpenLptPort(PortNumber - 19);
    } else {
        OpenComPort(PortNumber);
    }
}

std::string PortOpenFailure() { return !openFailure.empty() ? openFailure : Devices().LastOpenFailure(); }

void CloseSelectedPort()
{
    if (IsLines())
        CloseHandleOf(LineHandle);
    else if (IsLpt())
        CloseLptPort();
    else
        CloseComPort();
}

void OpenComPort(int n)
{
    PortOpen = false;
    ForgetLines();
    ClearEmergencySteps();
    if (n <= 0 || n >= 10)
        return;
    ComHandle = Devices().OpenCom(n);
    if (ComHandle == kInvalidHandle)
        return;
    // Opening a tty raises both lines; lower them at once.
    if (const int error = LowerComLines(); error != 0) {
        std::fprintf(stderr, "vantrel: COM%d (%s) not opened: its lines cannot be switched: %s\n", n,
                     Devices().Describe(n).device.c_str(), std::strerror(error));
        Devices().CloseHandle(ComHandle);
        ComHandle = kInvalidHandle;
        return;
    }
    PortOpen = true;
    LogLine("open COM" + std::to_string(n)); // after the lines it leaves
    PlanEmergency();
}

void OpenLinePort()
{
    PortOpen = false;
    ForgetLines();
    ClearEmergencySteps();
    LineHandle = Devices().OpenLines(PortNumber);
    if (LineHandle == kInvalidHandle)
        return;
    PortOpen = true;
    LogLine("open " + PortName()); // all its lines are inactive
    PlanEmergency();
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
    ForgetLines();
    ClearEmergencySteps();
    LptBase = base;
    LptHandle = Devices().OpenLpt(n);
    if (LptHandle == kInvalidHandle)
        return;
    PortOpen = true;
    InitLptRegisters(kLptOpenLatch);
    LogLine("open LPT" + std::to_string(n)); // after the pins it leaves
    PlanEmergency();
}

void CloseLptPort() { CloseHandleOf(LptHandle); }

void SwitchLinesOff()
{
    SetKey(false);
    SetPtt(false);
    if (DfcwOwnLine())
        SetDfcw(false);
}

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
    if (!lost)
        Request(ApplyKey, on, "key");
}

void SetPtt(bool on)
{
    if (!PortOpen)
        return;
    wanted.ptt = on;
    wanted.pttLast = true;
    if (!lost)
        Request(ApplyPtt, on, "ptt");
}

void SetDfcw(bool level)
{
    if (!PortOpen)
        return;
    wanted.dfcw = level;
    wanted.dfcwAsked = true;
    wanted.pttLast = false;
    if (!lost)
        Request(ApplyDfcw, level, "dfcw");
}

bool PortLost() { return PortOpen && lost; }

void RetryLostPort()
{
    if (PortLost())
        Reopen();
    else if (backNoteRetries > 0)
        --backNoteRetries;
}

std::string PortNote()
{
    if (PortLost())
        return "port " + PortName() + " lost (" + lostReason + "), nothing is sent; reopening it every second";
    if (PortOpen && backNoteRetries > 0)
        return "port " + PortName() + " is back, keying goes on from the next element";
    return {};
}
