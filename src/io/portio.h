// The port-I/O layer: exactly two operations on a 16-bit I/O address. The
// parallel-port registers and the PC speaker's interval timer and gate are
// reached only through it.
#pragma once

#include <cstdint>

class PortIo {
public:
    virtual ~PortIo() = default;
    virtual std::uint8_t In(std::uint16_t address) = 0;
    virtual void Out(std::uint16_t address, std::uint8_t value) = 0;
};

// I/O addresses in use.
namespace ioaddr {
inline constexpr std::uint16_t Lpt1Base = 0x378, Lpt2Base = 0x278;
inline constexpr std::uint16_t TimerChannel2 = 0x42, TimerControl = 0x43, SystemControl = 0x61;
}
