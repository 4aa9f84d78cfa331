#include "speakerdecoder.h"

#include "portio.h"

bool SpeakerDecoder::Write(std::uint16_t address, std::uint8_t value)
{
    switch (address) {
    case ioaddr::TimerControl:
        // Only channel 2 (bits 7..6 = 10) with low-then-high access (bits 5..4 = 11) loads a divisor.
        controlWord_ = value;
        expectHigh_ = false;
        return true;
    case ioaddr::TimerChannel2:
        if ((controlWord_ & 0xF0) != 0xB0)
            return true;
        if (!expectHigh_) {
            pendingLow_ = value;
            expectHigh_ = true;
        } else {
            divisor_ = static_cast<std::uint16_t>(pendingLow_ | value << 8);
            expectHigh_ = false;
        }
        return true;
    case ioaddr::SystemControl:
        systemControl_ = value;
        return true;
    default:
        return false;
    }
}
