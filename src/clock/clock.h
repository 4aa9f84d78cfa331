// The clock seam: everything Vantrel knows of time comes through here, so that
// tests can run hours of keying in simulated time.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time in days since 1899-12-30; the fraction is the time of day.
    virtual double Now() = 0;
    // Milliseconds of a monotonic clock; wraps after 2^32 ms.
    virtual std::uint32_t TickCount() = 0;
    // Waits `ms` milliseconds while the windows stay responsive.
    virtual void WaitMs(std::int32_t ms) = 0;
    // Blocks the calling thread for `ms` milliseconds.
    virtual void Sleep(std::int32_t ms) = 0;
};

// The system's clock: std::chrono and the local time zone. Its WaitMs sleeps;
// the application's clock overrides it with a wait that handles window events.
class SystemClock : public Clock {
public:
    double Now() override;
    std::uint32_t TickCount() override;
    void WaitMs(std::int32_t ms) override { Sleep(ms); }
    void Sleep(std::int32_t ms) override;
};

// Days since 1899-12-30 of a civil date.
std::int64_t DaysFromCivil(int year, int month, int day);
// The civil date of a day counted since 1899-12-30.
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);
