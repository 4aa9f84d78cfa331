// Decodes writes to the interval timer's channel 2 (0x43, 0x42) and the
// speaker gate (0x61) into the tone they make, as the PC hardware does:
// after control word 0xB6 the next two writes to 0x42 are the low and high
// byte of the divisor; the speaker sounds while bits 0 and 1 of 0x61 are set.
#pragma once

#include <cstdint>

class SpeakerDecoder {
public:
    inline static constexpr double kTimerHz = 1193180.0;

    // Returns whether the write belonged to the speaker ports.
    bool Write(std::uint16_t address, std::uint8_t value);
    std::uint8_t SystemControl() const { return systemControl_; }
    void SetSystemControl(std::uint8_t value) { systemControl_ = value; }
    std::uint16_t Divisor() const { return divisor_; }
    std::uint8_t ControlWord() const { return controlWord_; }
    bool Sounding() const { return (systemControl_ & 0x03) == 0x03 && divisor_ != 0; }
    // The divisor the kernel's speaker takes (0 = silent).
    std::uint16_t SoundingDivisor() const { return Sounding() ? divisor_ : 0; }
    double Frequency() const { return Sounding() ? kTimerHz / divisor_ : 0.0; }

private:
    std::uint8_t controlWord_ = 0;
    std::uint8_t systemControl_ = 0;
    std::uint16_t divisor_ = 0;
    std::uint16_t pendingLow_ = 0;
    bool expectHigh_ = false;
};
