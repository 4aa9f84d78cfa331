// Note names and partial-table streams, then a build of an image whose
// duration, quality, resolution and channels come from the input too.
#include "tonegen/tonegen.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilentPlayer player;
    TMyToneGen tone(player);
    const std::string name(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 16));
    std::int32_t octave = 4;
    const int hz = NoteToFrequency(name, octave, ToneKind::Real);
    if (hz != 0 && (hz < 10 || hz > 20000 || octave < 0 || octave > 9))
        std::abort();
    tone.SetNote(name);
    tone.ReadAMArrayData(data, size);
    const auto byte = [&](std::size_t i) { return i < size ? data[i] : std::uint8_t{0}; };
    // Up to about half a second keeps a run short; every size parity and layout occurs.
    const int duration = byte(2) + (byte(3) & 1) * 256 + 10;
    tone.SetDuration(duration);
    tone.SetQuality((byte(0) & 2) != 0 ? tgLoQ : tgHiQ);
    tone.SetResolution((byte(0) & 4) != 0 ? tg8Bit : tg16Bit);
    tone.SetStereo((byte(0) & 8) != 0);
    tone.SetAMUseMultiplier((byte(0) & 1) != 0);
    const std::size_t width = (byte(0) & 4) != 0 ? 1 : 2, rate = (byte(0) & 2) != 0 ? 441 : 960;
    const std::size_t expected = width * static_cast<std::size_t>(duration) * rate / 10 * ((byte(0) & 8) != 0 ? 2 : 1);
    if (!tone.BuildImage((byte(1) & 1) != 0) || tone.ImageSize() != expected + 76)
        std::abort();
    return 0;
}
