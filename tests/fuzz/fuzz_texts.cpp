// Number, time and Morse texts as a user may type them.
#include "morse/duration.h"
#include "morse/morse.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto v = ToInteger(text); v && text.empty())
        std::abort();
    (void)ToFloat(text);
    if (IsValidTime(text) && text.size() != 6)
        std::abort();
    (void)TimeTextToSeconds(text);
    const std::string trimmed = TrimSpaces(text);
    if (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.back() == ' '))
        std::abort();
    (void)FirstInvalidChar(text);
    for (const char c : text)
        if (MorsePattern(c).size() > 10)
            std::abort();
    if (TextDuration(text, 1000, 500, 0) < 0 || TextDuration(text, 0, 0, 12) < 0)
        std::abort();
    return 0;
}
