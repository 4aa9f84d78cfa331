#include "speaker.h"

#include "clock/clock.h"
#include "portdevices.h"

#include <cmath>
#include <cstdint>

namespace {
// The timer's input clock, held in single precision as the hardware's
// documentation gives it; the division is done in double.
constexpr float kTimerClock = 1193180.0f;
} // namespace

void SpeakerFrequency(double hz)
{
    PortIo& io = Devices().Io();
    // Half to even; a frequency the program never passes (0, negative, very
    // low) gives an out-of-range divisor, which is cut to 16 bits as the
    // hardware would.
    const double exact = kTimerClock / hz;
    const auto divisor = std::isfinite(exact) && std::fabs(exact) < 4.0e9
        ? static_cast<std::uint32_t>(static_cast<std::int64_t>(std::nearbyint(exact)))
        : 0u;
    io.Out(ioaddr::TimerControl, 0xB6);
    io.Out(ioaddr::TimerChannel2, static_cast<std::uint8_t>(divisor));
    io.Out(ioaddr::TimerChannel2, static_cast<std::uint8_t>(divisor >> 8));
}

void SpeakerOn(double hz)
{
    PortIo& io = Devices().Io();
    io.Out(ioaddr::SystemControl, static_cast<std::uint8_t>(io.In(ioaddr::SystemControl) | 0x03));
    SpeakerFrequency(hz);
}

void SpeakerOff()
{
    PortIo& io = Devices().Io();
    io.Out(ioaddr::SystemControl, static_cast<std::uint8_t>(io.In(ioaddr::SystemControl) & 0xFC));
}

void AlarmChirp(Clock& clock)
{
    SpeakerOn(400);
    clock.Sleep(20);
    for (int i = 1; i <= 10; ++i) {
        SpeakerFrequency(400 + 50 * i);
        clock.Sleep(20);
    }
    SpeakerOff();
}
