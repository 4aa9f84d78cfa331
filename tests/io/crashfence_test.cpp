#include "io/emergency.h"
#include "io/linelog.h"
#include "io/portdriver.h"
#include "io/simdevices.h"
#include "settings/settings.h"
#include "support/fakeclock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A crash handler on another thread while the UI thread is inside a request:
// its lines off waits for that request; after it nothing reaches the port,
// nothing opens, and the line log ends with its "key off" and "ptt off".
// Returns the bits of what went wrong.
int CrashOnAnotherThread(const std::string& log)
{
    SetDefaultSettings(); // the standard wiring: SetKey reads no register
    FakeClock clock;
    SimPortDevices sim(&clock);
    InstallPortDevices(&sim);
    StartLineLog(log, &clock);
    PortNumber = 20;
    OpenSelectedPort();
    SetPtt(true);
    std::atomic<bool> off{false};
    std::thread handler;
    {
        const FencedRequest inFlight;
        handler = std::thread([&off] {
            CrashLinesOff();
            off = true;
        });
        std::this_thread::sleep_for(200ms);
        if (off)
            return 8;
    }
    handler.join();
    const std::size_t accesses = sim.Space().Accesses().size();
    struct stat before {}, after {};
    ::stat(log.c_str(), &before);
    SetKey(true);
    CloseSelectedPort();
    PortNumber = 3;
    OpenSelectedPort();
    ::stat(log.c_str(), &after);
    return (sim.Space().Accesses().size() != accesses) | (PortOpen << 1) | ((after.st_size != before.st_size) << 2);
}

// In a child process: the process's fence stays closed.
TEST(CrashFenceDeathTest, NothingReachesThePortAfterACrashOnAnotherThread)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string log = testing::TempDir() + "/vantrel-crash.log";
    EXPECT_EXIT(std::exit(CrashOnAnotherThread(log)), testing::ExitedWithCode(0), "");
}

} // namespace
