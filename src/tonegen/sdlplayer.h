// The sound player on SDL2's audio subsystem. It plays one WAV image from
// memory (16-bit signed or 8-bit unsigned, mono or stereo, 44100 or 96000 Hz)
// through a stereo 16-bit device opened at the image's rate, applying the
// left and right gains of its volume. No audio device, or an SDL error,
// means silence and one line on standard error; nothing else fails.
// Called from the UI thread; SDL's audio thread reads the image under the
// device lock.
#pragma once

#include "player.h"

#include <atomic>
#include <cstdint>

class SdlPlayer : public SoundPlayer {
public:
    SdlPlayer() = default;
    ~SdlPlayer() override;
    SdlPlayer(const SdlPlayer&) = delete;
    SdlPlayer& operator=(const SdlPlayer&) = delete;

    void Play(const std::uint8_t* image, std::size_t size, bool loop, bool async) override;
    void Stop() override;
    void SetVolume(std::uint32_t leftRight) override;
    std::uint32_t Volume() const override { return volume_; }
    bool SeparateLeftRight() const override { return true; }

    // Stops and closes the device; the next Play opens it again.
    void Close();

    // True once a device could not be opened (until Close).
    bool Failed() const { return failed_; }
    // The program that its messages name ("vantrel"); a string literal.
    void SetProgramName(const char* name) { name_ = name; }

    // The one player of the process: one sound at a time for everyone.
    static SdlPlayer& Instance();

private:
    static void Callback(void* self, std::uint8_t* stream, int length);
    void Fill(std::int16_t* out, int frames);
    bool Open(int rate);

    std::uint32_t device_ = 0;
    int rate_ = 0;
    bool failed_ = false;
    const char* name_ = "vantrel";
    // Shared with the audio thread (under the device lock).
    const std::uint8_t* data_ = nullptr;
    std::size_t bytes_ = 0, position_ = 0;
    int channels_ = 1, width_ = 2;
    bool loop_ = false, playing_ = false;
    std::uint32_t volume_ = 0xFFFFFFFF;
    std::atomic<bool> finished_{false};
};
