#include "linelog.h"

#include "clock/clock.h"
#include "morse/morse.h"
#include "portdevices.h"
#include "settings/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
std::FILE* logFile = nullptr;
Clock* logClock = nullptr;
} // namespace

bool StartLineLog(const std::string& path, Clock* clock)
{
    if (logFile != nullptr)
        std::fclose(logFile);
    logFile = nullptr;
    logClock = clock;
    if (path.empty())
        return true;
    logFile = std::fopen(path.c_str(), "ae");
    if (logFile == nullptr) {
        std::fprintf(stderr, "vantrel: line log %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

void LogLine(const std::string& what, std::optional<bool> level)
{
    if (logFile == nullptr || logClock == nullptr)
        return;
    // Where the devices show their outputs (simulated hardware), after the operation.
    const std::string outputs = Devices().Outputs(PortNumber);
    const std::string line = ClockTextMs(DayMs(logClock->Now())) + ' ' + what
        + (level ? (*level ? " on" : " off") : "") + (outputs.empty() ? "" : " " + outputs) + '\n';
    std::fputs(line.c_str(), logFile);
    std::fflush(logFile);
}
