// The sound player seam: plays one complete WAV image from memory, once or
// looped, asynchronously or to its end; stops at once; one sound at a time
// for the whole process. Its volume is the program's own output level (left
// level in the low 16 bits, right level in the high 16 bits, 0..65535 each),
// applied by the player as gains; the system mixer is never touched.
#pragma once

#include <cstddef>
#include <cstdint>

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // `image` stays valid until Stop or the next Play.
    virtual void Play(const std::uint8_t* image, std::size_t size, bool loop, bool async) = 0;
    virtual void Stop() = 0;
    virtual void SetVolume(std::uint32_t leftRight) = 0;
    virtual std::uint32_t Volume() const = 0;
    // Whether left and right are separate levels (a mono device reports one).
    virtual bool SeparateLeftRight() const = 0;
};

// A player that plays nothing, keeping only the volume; stands in where no
// audio device is wanted (tests of the core, tools that only export).
class SilentPlayer : public SoundPlayer {
public:
    void Play(const std::uint8_t*, std::size_t, bool, bool) override { ++plays; }
    void Stop() override { ++stops; }
    void SetVolume(std::uint32_t leftRight) override { volume = leftRight; }
    std::uint32_t Volume() const override { return volume; }
    bool SeparateLeftRight() const override { return true; }

    std::uint32_t volume = 0xFFFFFFFF;
    int plays = 0, stops = 0;
};
