#include "simdevices.h"

#include "clock/clock.h"
#include "settings/settings.h"

#include <cstdio>
#include <utility>

double SimIoSpace::Now() const { return clock_ != nullptr ? clock_->Now() : 0.0; }

SimIoSpace::LptRegisters* SimIoSpace::LptAt(std::uint16_t address)
{
    for (const std::uint16_t base : {ioaddr::Lpt1Base, ioaddr::Lpt2Base})
        if (address == base || address == base + 2)
            return &Lpt(base);
    return nullptr;
}

std::uint8_t SimIoSpace::In(std::uint16_t address)
{
    std::uint8_t value = 0xFF; // an address with nothing behind it floats high
    LptRegisters* lpt = LptAt(address);
    if (lpt != nullptr && lpt->error != 0) {
        if (error_ == 0)
            error_ = lpt->error;
        return value;
    }
    if (lpt != nullptr)
        value = address & 2 ? lpt->control : lpt->data;
    else if (address == ioaddr::SystemControl)
        value = speaker_.SystemControl();
    accesses_.push_back({Now(), false, address, value});
    return value;
}

void SimIoSpace::Out(std::uint16_t address, std::uint8_t value)
{
    LptRegisters* lpt = LptAt(address);
    if (lpt != nullptr && lpt->error != 0) {
        if (error_ == 0)
            error_ = lpt->error;
        return;
    }
    const Access access{Now(), true, address, value};
    accesses_.push_back(access);
    if (lpt != nullptr)
        (address & 2 ? lpt->control : lpt->data) = value;
    else if (!speaker_.Write(address, value))
        unexpected_.push_back(access);
}

int SimPortDevices::Open(int portNumber)
{
    lastFailure_.clear();
    if (missing_.count(portNumber) != 0) {
        lastFailure_ = PortNameOf(portNumber) + " (simulated): not present";
        return kInvalidHandle;
    }
    for (const auto& [handle, port] : open_)
        if (port == portNumber) {
            lastFailure_ = PortNameOf(portNumber) + " (simulated): in use";
            return kInvalidHandle; // claimed exclusively
        }
    const int handle = nextHandle_++;
    open_[handle] = portNumber;
    return handle;
}

int SimPortDevices::OpenCom(int n)
{
    const int handle = Open(n);
    if (handle != kInvalidHandle)
        lines_[n] = {true, true};
    return handle;
}

int SimPortDevices::OpenLpt(int n) { return Open(19 + n); }

void SimPortDevices::EscapeCommFunction(int handle, CommFunction function)
{
    requests_.push_back({handle, function});
    const auto it = open_.find(handle);
    if (it == open_.end())
        return;
    if (const auto gone = unplugged_.find(it->second); gone != unplugged_.end()) {
        if (lineError_ == 0)
            lineError_ = gone->second;
        return;
    }
    ComLines& lines = lines_[it->second];
    switch (function) {
    case CommFunction::SetRts: lines.rts = true; break;
    case CommFunction::ClrRts: lines.rts = false; break;
    case CommFunction::SetDtr: lines.dtr = true; break;
    case CommFunction::ClrDtr: lines.dtr = false; break;
    }
}

void SimPortDevices::CloseHandle(int handle)
{
    const auto it = open_.find(handle);
    if (it == open_.end())
        return;
    // A tty's lines drop when it is closed (HUPCL); GPIO lines are
    // switched inactive before they are given back.
    if (it->second < 20)
        lines_[it->second] = {};
    if (it->second >= 30)
        gpio_ = {};
    open_.erase(it);
}

SimPortDevices::ComLines SimPortDevices::Lines(int n) const
{
    const auto it = lines_.find(n);
    return it == lines_.end() ? ComLines{} : it->second;
}

PortDescription SimPortDevices::Describe(int portNumber) const
{
    return {"simulated port", missing_.count(portNumber) == 0};
}

std::string SimPortDevices::Outputs(int portNumber) const
{
    char text[32] = "";
    if (portNumber >= 1 && portNumber <= 9) {
        const ComLines lines = Lines(portNumber);
        std::snprintf(text, sizeof text, "[RTS %d DTR %d]", lines.rts ? 1 : 0, lines.dtr ? 1 : 0);
    } else if (portNumber == kPortGpio || portNumber == kPortHamlib) {
        std::snprintf(text, sizeof text, "[key %d PTT %d]", gpio_.key ? 1 : 0, gpio_.ptt ? 1 : 0);
    } else if (portNumber == 20 || portNumber == 21) {
        const std::uint16_t base = portNumber == 20 ? ioaddr::Lpt1Base : ioaddr::Lpt2Base;
        std::snprintf(text, sizeof text, "[data %02X control %02X]", io_.Data(base), io_.Control(base));
    }
    return text;
}

int SimPortDevices::TakeLineError()
{
    const int line = std::exchange(lineError_, 0);
    const int io = io_.TakeError();
    return line != 0 ? line : io;
}

void SimPortDevices::Unplug(int portNumber, int error)
{
    unplugged_[portNumber] = error;
    missing_.insert(portNumber);
    if (portNumber == 20 || portNumber == 21)
        io_.Disconnect(portNumber == 20 ? ioaddr::Lpt1Base : ioaddr::Lpt2Base, error);
    else
        lines_[portNumber] = {};
}

void SimPortDevices::PlugIn(int portNumber)
{
    unplugged_.erase(portNumber);
    missing_.erase(portNumber);
    if (portNumber == 20 || portNumber == 21)
        io_.Disconnect(portNumber == 20 ? ioaddr::Lpt1Base : ioaddr::Lpt2Base, 0);
}

int SimPortDevices::OpenLines(int portNumber)
{
    const int handle = portNumber == kPortGpio || portNumber == kPortHamlib ? Open(portNumber) : kInvalidHandle;
    if (handle != kInvalidHandle)
        gpio_ = {}; // requested at their inactive level
    return handle;
}

void SimPortDevices::SetLine(int handle, PortLine line, bool on)
{
    const auto it = open_.find(handle);
    if (it == open_.end() || it->second < 30)
        return;
    if (const auto gone = unplugged_.find(it->second); gone != unplugged_.end()) {
        if (lineError_ == 0)
            lineError_ = gone->second;
        return;
    }
    if (line == PortLine::Dfcw && it->second == kPortHamlib)
        return; // a radio has no DFCW select
    (line == PortLine::Key ? gpio_.key : gpio_.ptt) = on;
}
