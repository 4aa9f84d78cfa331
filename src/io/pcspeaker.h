// The PC speaker on Linux: the interval-timer and gate writes are decoded and
// the tone they make is sounded with the kernel's speaker: KIOCSOUND on a
// virtual console where one can be opened, else the pcspkr input device
// (EV_SND/SND_TONE), else nothing (one line on standard error, once).
#pragma once

#include "speakerdecoder.h"

#include <cstdint>

class SysCalls;

class PcSpeaker {
public:
    explicit PcSpeaker(SysCalls& sys) : sys_(sys) {}
    ~PcSpeaker();
    PcSpeaker(const PcSpeaker&) = delete;
    PcSpeaker& operator=(const PcSpeaker&) = delete;

    // Returns whether the address is one of the speaker's.
    bool Out(std::uint16_t address, std::uint8_t value);
    std::uint8_t SystemControl() const { return decoder_.SystemControl(); }

private:
    enum class Kind { Unopened, Console, Input, None };
    void Sound(std::uint16_t divisor);
    void OpenDevice();

    SysCalls& sys_;
    SpeakerDecoder decoder_;
    Kind kind_ = Kind::Unopened;
    int fd_ = -1;
    std::uint16_t sounding_ = 0;
};
