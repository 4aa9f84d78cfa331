// A clock that moves only when told: tests set the local time and advance it.
#pragma once

#include "keying/clock.h"

#include <cstdint>

class FakeClock : public Clock {
public:
    // Local time as days since 1899-12-30 plus the milliseconds of the day.
    void SetLocal(std::int64_t day, std::int64_t msOfDay) { day_ = day; ms_ = msOfDay; }
    void Advance(std::int64_t ms) { ms_ += ms; tick_ += static_cast<std::uint32_t>(ms); }

    double Now() override { return static_cast<double>(day_) + static_cast<double>(ms_) / 86400000.0; }
    std::uint32_t TickCount() override { return tick_; }
    void WaitMs(std::int32_t ms) override { if (ms > 0) Advance(ms); }
    void Sleep(std::int32_t ms) override { if (ms > 0) Advance(ms); }

private:
    std::int64_t day_ = 46000;
    std::int64_t ms_ = 0;
    std::uint32_t tick_ = 1000000;
};
