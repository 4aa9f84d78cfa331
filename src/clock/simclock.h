// A clock that moves only when told: simulated time for the timeline tool and
// the tests. Local time and the tick count advance together; Jump moves the
// local clock alone, as a clock step does.
#pragma once

#include "clock.h"

#include <cstdint>

class SimClock : public Clock {
public:
    // Local time as days since 1899-12-30 plus milliseconds of that day.
    void SetLocal(std::int64_t day, std::int64_t msOfDay) { abs_ = day * 86400000 + msOfDay; }
    void Advance(std::int64_t ms) { abs_ += ms; tick_ += static_cast<std::uint32_t>(ms); }
    void Jump(std::int64_t ms) { abs_ += ms; }
    // Milliseconds since 1899-12-30 00:00 local.
    std::int64_t Abs() const { return abs_; }

    double Now() override
    {
        // Whole days plus the fraction: the day's milliseconds stay exact.
        const std::int64_t day = abs_ >= 0 ? abs_ / 86400000 : (abs_ - 86399999) / 86400000;
        return static_cast<double>(day) + static_cast<double>(abs_ - day * 86400000) / 86400000.0;
    }
    std::uint32_t TickCount() override { return tick_; }
    void WaitMs(std::int32_t ms) override { if (ms > 0) Advance(ms); }
    void Sleep(std::int32_t ms) override { if (ms > 0) Advance(ms); }

private:
    std::int64_t abs_ = 46000LL * 86400000;
    std::uint32_t tick_ = 1000000;
};
