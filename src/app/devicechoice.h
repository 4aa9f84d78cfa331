#pragma once

#include <memory>

class Clock;
class PortDevices;

// The port devices VANTREL_PORT asks for: the Linux devices when unset, "sim"
// for simulated hardware, "raw" for register access through /dev/port. Any
// other value gives nullptr, the devices that open nothing, with a message: a
// mistyped "sim" must not key a real transmitter.
std::unique_ptr<PortDevices> ChooseDevices(Clock& clock);
