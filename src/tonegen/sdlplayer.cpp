#include "sdlplayer.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

namespace {
std::uint32_t Read32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
} // namespace

SdlPlayer& SdlPlayer::Instance()
{
    static SdlPlayer player;
    return player;
}

SdlPlayer::~SdlPlayer() { Close(); }

void SdlPlayer::Close()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    if (rate_ != 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
    rate_ = 0;
    failed_ = false;
    data_ = nullptr;
    playing_ = false;
}

bool SdlPlayer::Open(int rate)
{
    if (failed_)
        return false;
    if (device_ != 0 && rate == rate_)
        return true;
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (rate_ == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "%s: no sound: %s\n", name_, SDL_GetError());
        failed_ = true;
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlPlayer::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    rate_ = rate;
    if (device_ == 0) {
        std::fprintf(stderr, "%s: no sound: %s\n", name_, SDL_GetError());
        failed_ = true;
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlPlayer::Play(const std::uint8_t* image, std::size_t size, bool loop, bool async)
{
    Stop();
    if (image == nullptr || size < 44 || std::memcmp(image, "RIFF", 4) != 0)
        return;
    const int rate = static_cast<int>(Read32(image + 24));
    if (!Open(rate))
        return;
    SDL_LockAudioDevice(device_);
    channels_ = Read16(image + 22) == 2 ? 2 : 1;
    width_ = Read16(image + 34) == 8 ? 1 : 2;
    data_ = image + 44;
    bytes_ = std::min<std::size_t>(Read32(image + 40), size - 44);
    position_ = 0; // every start plays from the first sample
    loop_ = loop;
    playing_ = bytes_ > 0;
    finished_ = !playing_;
    SDL_UnlockAudioDevice(device_);
    if (!loop && !async) {
        while (!finished_)
            SDL_Delay(2);
    }
}

void SdlPlayer::Stop()
{
    if (device_ == 0)
        return;
    SDL_LockAudioDevice(device_);
    playing_ = false;
    data_ = nullptr;
    finished_ = true;
    SDL_UnlockAudioDevice(device_);
}

void SdlPlayer::SetVolume(std::uint32_t leftRight)
{
    if (device_ != 0)
        SDL_LockAudioDevice(device_);
    volume_ = leftRight;
    if (device_ != 0)
        SDL_UnlockAudioDevice(device_);
}

void SdlPlayer::Callback(void* self, std::uint8_t* stream, int length)
{
    static_cast<SdlPlayer*>(self)->Fill(reinterpret_cast<std::int16_t*>(stream), length / 4);
}

// Audio thread, under the device lock.
void SdlPlayer::Fill(std::int16_t* out, int frames)
{
    const double left = (volume_ & 0xFFFF) / 65535.0, right = (volume_ >> 16) / 65535.0;
    const std::size_t frameBytes = static_cast<std::size_t>(width_ * channels_);
    for (int f = 0; f < frames; ++f) {
        if (!playing_ || data_ == nullptr) {
            out[2 * f] = out[2 * f + 1] = 0;
            continue;
        }
        const auto sample = [&](int channel) -> double {
            const std::uint8_t* s = data_ + position_ + static_cast<std::size_t>(channel * width_);
            return width_ == 2 ? static_cast<std::int16_t>(s[0] | s[1] << 8) : (s[0] - 128) * 256.0;
        };
        const double l = sample(0), r = channels_ == 2 ? sample(1) : l;
        out[2 * f] = static_cast<std::int16_t>(l * left);
        out[2 * f + 1] = static_cast<std::int16_t>(r * right);
        position_ += frameBytes;
        if (position_ + frameBytes > bytes_) {
            position_ = 0;
            if (!loop_) {
                playing_ = false;
                finished_ = true;
            }
        }
    }
}
