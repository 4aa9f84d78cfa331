// Note names and partial-table streams, then a build of a short image.
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
    tone.SetDuration(10);
    tone.SetQuality(tgLoQ);
    if (size > 0)
        tone.SetAMUseMultiplier((data[0] & 1) != 0);
    if (!tone.BuildImage(size > 1 && (data[1] & 1) != 0) || tone.ImageSize() != 882 + 76)
        std::abort();
    return 0;
}
