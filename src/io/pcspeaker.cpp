#include "pcspeaker.h"

#include "syscalls.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <fcntl.h>
#include <linux/input.h>
#include <linux/kd.h>

PcSpeaker::~PcSpeaker()
{
    if (sounding_ != 0)
        Sound(0);
    if (fd_ >= 0)
        sys_.Close(fd_);
}

bool PcSpeaker::Out(std::uint16_t address, std::uint8_t value)
{
    if (!decoder_.Write(address, value))
        return false;
    const std::uint16_t divisor = decoder_.SoundingDivisor();
    if (divisor != sounding_)
        Sound(divisor);
    return true;
}

void PcSpeaker::OpenDevice()
{
    int error = 0;
    for (const char* console : {"/dev/tty0", "/dev/console"}) {
        const int fd = sys_.Open(console, O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            continue;
        }
        if (sys_.Ioctl(fd, KIOCSOUND, nullptr) == 0) {
            fd_ = fd;
            kind_ = Kind::Console;
            return;
        }
        error = errno;
        sys_.Close(fd);
    }
    const int fd = sys_.Open("/dev/input/by-path/platform-pcspkr-event-spkr", O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        fd_ = fd;
        kind_ = Kind::Input;
        return;
    }
    kind_ = Kind::None;
    std::fprintf(stderr, "vantrel: no PC speaker (needs a virtual console or the pcspkr input device): %s\n",
                 std::strerror(errno != 0 ? errno : error));
}

void PcSpeaker::Sound(std::uint16_t divisor)
{
    sounding_ = divisor;
    if (kind_ == Kind::Unopened)
        OpenDevice();
    if (kind_ == Kind::Console) {
        sys_.Ioctl(fd_, KIOCSOUND, reinterpret_cast<void*>(static_cast<std::uintptr_t>(divisor)));
    } else if (kind_ == Kind::Input) {
        input_event event{};
        event.type = EV_SND;
        event.code = SND_TONE;
        event.value = divisor == 0 ? 0 : static_cast<int>(std::lround(SpeakerDecoder::kTimerHz / divisor));
        sys_.Write(fd_, &event, sizeof event);
    }
}
