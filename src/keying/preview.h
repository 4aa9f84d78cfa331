// One start-now transmission of the selected text with the current settings,
// run on the engine in simulated time for a picture of it: one message, no
// repeat, no sound, no alarm, and every setting the run would touch is put
// back. UI thread only (it borrows the settings globals for its duration).
#pragma once

#include "timeline.h"

#include <cstdint>
#include <vector>

namespace keying {

struct TransmissionPreview {
    std::vector<TimelineEvent> events;
    std::int64_t startAbs = 0, endAbs = 0; // shown; closed (or the limit)
    std::int64_t firstKey = -1, lastKey = -1; // first key down, last key up; -1 when nothing is keyed
    bool ended = false;
};

// Local time `day` (days since 1899-12-30) and `msOfDay`.
TransmissionPreview PreviewTransmission(std::int64_t day, std::int64_t msOfDay);

} // namespace keying
