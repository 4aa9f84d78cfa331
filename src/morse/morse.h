// The Morse table, the text alphabet and the small text, number and clock-text
// helpers shared by the dialogs and the keying engine. Plain functions without
// state, except the decimal separator that the locale sets at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The Morse pattern of one character: "." and "-" followed by one " " (the gap
// that ends the character); " " alone for the space; empty for a character
// without a pattern. Only codes 0x20..0x5A are looked up; no case folding.
std::string MorsePattern(char c);

// The character that is keyed for `c`: Morse has no case, so a lower-case
// letter (typed into a settings file by hand) is keyed as its upper case.
char KeyedChar(char c);

// `text` as it is keyed and timed: its letters upper-cased. The stored text
// stays as it was written.
std::string PreparedText(const std::string& text);

// A character of a prepared text that sends nothing and takes no time: it has
// no pattern, and it is not the "+" at which the start sequence is inserted.
// Every look-ahead of the keying passes over it.
bool SendsNothing(char c);

// True when no character of `text`, prepared, has a dot or a dash.
bool KeysNoMark(const std::string& text);

// The first character of `text` outside the text alphabet, or ' ' when every
// character is valid.
char FirstInvalidChar(const std::string& text);

// `text` without leading and trailing spaces (0x20 only).
std::string TrimSpaces(const std::string& text);

// The 32-bit integer that `text` converts to: optional leading spaces, then an
// optional sign and decimal digits, or a hexadecimal number introduced by "$",
// "x", "X", "0x" or "0X". Nothing may follow the digits.
std::optional<std::int32_t> ToInteger(const std::string& text);
bool IsInteger(const std::string& text);

// The decimal separator used to read and show real numbers; the application
// sets it from the user's locale at start-up.
extern char DecimalSeparator;

// The real number that `text` converts to: optional leading spaces, optional
// sign, digits with at most one DecimalSeparator (at least one digit), an
// optional exponent, optional trailing spaces. Non-finite results are refused.
std::optional<double> ToFloat(const std::string& text);
bool IsFloat(const std::string& text);

// A clock time "HHMMSS" of six digits, hours <= 23, minutes and seconds <= 59.
bool IsValidTime(const std::string& text);

// A number below 100 as two digits ("07"); larger ones as they are.
std::string TwoDigits(std::int64_t value);

// Whole milliseconds since midnight of a date-time value, 0..86399999.
std::int64_t DayMs(double dateTime);

// The time of day of a date-time value (days, the fraction being the time of
// day) as HH:MM:SS, truncated.
std::string TimeOfDayText(double dateTime);

// "HH:MM:SS.mmm" of milliseconds since midnight (taken modulo a day).
std::string ClockTextMs(std::int64_t msOfDay);

// Seconds since midnight of "HH:MM:SS" (or "H:MM:SS").
std::int32_t TimeTextToSeconds(const std::string& text);
