// How long a text takes to send at the current settings, its display form, and
// the check that a repeated message fits into its repeat interval.
#pragma once

#include <cstdint>
#include <string>

// Duration of `text` in whole seconds (halves to even). A dot length above zero
// gives the message timing of the current mode (DfcwMode, RatioCode,
// OmitKeyGaps) with `keyGapMs` after DFCW elements; zero or below gives CW
// identification timing at `wpm`. Never negative.
std::int32_t TextDuration(const std::string& text, std::int32_t dotLengthMs, std::int32_t keyGapMs,
                          std::uint8_t wpm);

// Minutes, an apostrophe, two-digit seconds and a double quote: 125 -> 2'05".
std::string DurationText(std::int32_t seconds);

// True when the selected text with its identifications and margins does not fit
// into RepeatInterval; false when nothing is repeated at an interval.
bool RepeatTimeExceeded();
