// The program's clock: the system clock, with a wait that keeps the windows
// responsive (a nested event loop ended by a precise single-shot timer).
#pragma once

#include "clock/clock.h"

class AppClock : public SystemClock {
public:
    void WaitMs(std::int32_t ms) override;
};
