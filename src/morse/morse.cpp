#include "morse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

char DecimalSeparator = '.';

namespace {

// Elements of codes 0x20..0x5A, without the trailing gap; nullptr = no pattern.
constexpr std::array<const char*, 0x5B - 0x20> kTable = [] {
    std::array<const char*, 0x5B - 0x20> t{};
    auto set = [&t](char c, const char* elements) { t[static_cast<std::size_t>(c - 0x20)] = elements; };
    set('A', ".-");    set('B', "-...");  set('C', "-.-.");  set('D', "-..");
    set('E', ".");     set('F', "..-.");  set('G', "--.");   set('H', "....");
    set('I', "..");    set('J', ".---");  set('K', "-.-");   set('L', ".-..");
    set('M', "--");    set('N', "-.");    set('O', "---");   set('P', ".--.");
    set('Q', "--.-");  set('R', ".-.");   set('S', "...");   set('T', "-");
    set('U', "..-");   set('V', "...-");  set('W', ".--");   set('X', "-..-");
    set('Y', "-.--");  set('Z', "--..");
    set('0', "-----"); set('1', ".----"); set('2', "..---"); set('3', "...--");
    set('4', "....-"); set('5', "....."); set('6', "-...."); set('7', "--...");
    set('8', "---.."); set('9', "----.");
    set('.', ".-.-.-"); set('/', "-..-."); set('?', "..--..");
    set('@', ".-.-.");   // AR
    set('$', "...-.-");  // SK
    set('*', "-.-.-");   // KA
    set('%', "-...-.-"); // BK
    set(' ', "");
    return t;
}();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string MorsePattern(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code > 0x5A)
        return {};
    const char* elements = kTable[code - 0x20];
    if (elements == nullptr)
        return {};
    return std::string(elements) + ' ';
}

char KeyedChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string PreparedText(const std::string& text)
{
    std::string prepared = text;
    for (char& c : prepared)
        c = KeyedChar(c);
    return prepared;
}

bool SendsNothing(char c) { return c != '+' && MorsePattern(c).empty(); }

bool KeysNoMark(const std::string& text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const std::string pattern = MorsePattern(KeyedChar(c));
        return pattern.find_first_of(".-") != std::string::npos;
    });
}

char FirstInvalidChar(const std::string& text)
{
    for (const char c : text) {
        const bool valid = (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '?' || c == '/' || c == '.'
            || c == '@' || c == '$' || c == ' ' || c == '+';
        if (!valid)
            return c;
    }
    return ' ';
}

std::string TrimSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::optional<std::int32_t> ToInteger(const std::string& text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;

    std::int64_t value = 0;
    const auto rest = [&](std::size_t at) { return at < text.size() ? text[at] : '\0'; };
    bool hex = false;
    if (rest(i) == '$' || rest(i) == 'x' || rest(i) == 'X') {
        hex = true;
        i += 1;
    } else if (rest(i) == '0' && (rest(i + 1) == 'x' || rest(i + 1) == 'X')) {
        hex = true;
        i += 2;
    }

    if (hex) {
        // A hexadecimal number is taken as a non-negative value.
        if (i >= text.size())
            return std::nullopt;
        for (; i < text.size(); ++i) {
            const int digit = HexValue(text[i]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
            if (value > INT32_MAX)
                return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }

    bool negative = false;
    if (rest(i) == '+' || rest(i) == '-') {
        negative = rest(i) == '-';
        i += 1;
    }
    if (i >= text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool IsInteger(const std::string& text) { return ToInteger(text).has_value(); }

std::optional<double> ToFloat(const std::string& text)
{
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
    while (at(i) == ' ')
        ++i;
    // Rebuilt in the C locale's form so that strtod reads it whatever the locale.
    std::string plain;
    if (at(i) == '+' || at(i) == '-')
        plain += text[i++];
    int digits = 0;
    bool separator = false;
    for (;; ++i) {
        const char c = at(i);
        if (IsDigit(c)) {
            plain += c;
            ++digits;
        } else if (c == DecimalSeparator && c != '\0' && !separator) {
            plain += '.';
            separator = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (at(i) == 'E' || at(i) == 'e') {
        plain += 'e';
        ++i;
        if (at(i) == '+' || at(i) == '-')
            plain += text[i++];
        int exponentDigits = 0;
        while (IsDigit(at(i))) {
            plain += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    while (at(i) == ' ')
        ++i;
    if (i != text.size())
        return std::nullopt;
    const double value = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsFloat(const std::string& text) { return ToFloat(text).has_value(); }

bool IsValidTime(const std::string& text)
{
    // Six digits: a sign, a space or a hexadecimal prefix would pass the integer
    // test but never equal the clock's "HHMMSS", so such a start would never come.
    if (text.size() != 6 || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    const auto pair = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    return pair(0) <= 23 && pair(2) <= 59 && pair(4) <= 59;
}

std::int64_t DayMs(double dateTime)
{
    const double f = dateTime - std::floor(dateTime);
    // A clock value such as 10:00:00 is stored a hair below its exact fraction,
    // and truncating that would show 09:59:59. Today's dates carry the time of
    // day to about 0.6 us; 0.01 ms lies well above that and far below one ms.
    const auto ms = static_cast<std::int64_t>(std::floor(f * 86400000.0 + 1e-2));
    return ms < 86400000 ? ms : 86399999;
}

std::string TwoDigits(std::int64_t value)
{
    std::string text = std::to_string(value);
    if (value >= 0 && value < 10)
        text.insert(text.begin(), '0');
    return text;
}

std::string TimeOfDayText(double dateTime)
{
    const std::int64_t ms = DayMs(dateTime);
    const auto hours = ms / 3600000, minutes = ms / 60000 % 60, seconds = ms / 1000 % 60;
    return TwoDigits(hours) + ':' + TwoDigits(minutes) + ':' + TwoDigits(seconds);
}

std::string ClockTextMs(std::int64_t msOfDay)
{
    const long long ms = ((msOfDay % 86400000) + 86400000) % 86400000;
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

std::int32_t TimeTextToSeconds(const std::string& text)
{
    const std::string t = text.size() < 8 ? '0' + text : text;
    // Characters past the end count as "0", so odd input never reads outside.
    const auto d = [&](std::size_t k) { return k <= t.size() ? t[k - 1] - '0' : 0; };
    return (10 * d(1) + d(2)) * 3600 + (10 * d(4) + d(5)) * 60 + 10 * d(7) + d(8);
}
