// How long a text takes to send at the current settings, its display form, and
// the check that a repeated message fits into its repeat interval.
#pragma once

#include <cstdint>
#include <string>

// Duration of `text` in whole seconds (halves to even), timed as it is keyed
// (PreparedText; characters that send nothing take no time). A dot length
// above zero gives the message timing of the current mode (DfcwMode,
// RatioCode, OmitKeyGaps) with `keyGapMs` after DFCW elements; zero or below
// gives CW identification timing at `wpm`. Never negative.
std::int32_t TextDuration(const std::string& text, std::int32_t dotLengthMs, std::int32_t keyGapMs,
                          std::uint8_t wpm);

// Minutes, an apostrophe, two-digit seconds and a double quote: 125 -> 2'05".
std::string DurationText(std::int32_t seconds);

// Seconds of one transmission of the selected text at the held dot length and
// key gap, with 5 s of margin, and each enabled identification with 3 s.
std::int64_t TransmissionSeconds();

// True when the selected text with its identifications and margins does not fit
// into RepeatInterval; false when nothing is repeated at an interval.
bool RepeatTimeExceeded();

// True when neither the selected text nor an enabled identification has a dot
// or a dash: a start would only switch PTT (for ever, with endless repeats).
bool NothingToKey();

// Why a start of the selected text is refused for having nothing to send, as
// the start commands say it ("Text 3 is empty : nothing to transmit"), or
// empty when it has something. An empty or all-space text is refused whatever
// the identifications send.
std::string NothingToSendReason();
