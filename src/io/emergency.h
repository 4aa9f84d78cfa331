// Key and PTT off when the program crashes: the few system requests that do
// it on the open port, worked out when the port opens and kept as plain
// values, so that a crash handler can issue them with async-signal-safe calls
// only and without any object of the program.
#pragma once

#include <cstdint>

struct EmergencyStep {
    enum Kind : std::uint8_t { None, IoctlInt, IoctlByte, PortWrite, LineValues };
    Kind kind = None;
    int fd = -1;
    unsigned long request = 0; // IoctlInt, IoctlByte
    int value = 0;             // the ioctl's int or byte argument; the byte PortWrite writes;
                               // LineValues: the mask of GPIO lines the ioctl sets to 0
    long address = 0;          // PortWrite: the offset in /dev/port
};

inline constexpr int kMaxEmergencySteps = 2;

// A port is open: `count` steps (none for simulated hardware) switch its key
// and PTT off. UI thread.
void SetEmergencySteps(const EmergencyStep* steps, int count);
// No port is open.
void ClearEmergencySteps();

// The steps in force, copied to `out`: their number, -1 when no port is open.
int CurrentEmergencySteps(EmergencyStep (&out)[kMaxEmergencySteps]);

// Issues the steps of the open port, then writes "key off" and "ptt off" to
// the line log; nothing when no port is open. Async-signal-safe.
void EmergencyLinesOff() noexcept;
