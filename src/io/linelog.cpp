#include "linelog.h"

#include "clock/clock.h"
#include "emergency.h"
#include "morse/morse.h"
#include "portdevices.h"
#include "settings/settings.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kDayMs = 86400000;

// Read by the crash handler: plain values, written on the UI thread.
volatile std::sig_atomic_t logFd = -1;
std::atomic<std::int64_t> offsetMs{0}; // log clock's ms of day minus the real-time clock's
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

std::string logPath;
Clock* logClock = nullptr;
SysCalls* logSys = nullptr;
// The local day (days since 1899-12-30) the last line was written on; a new
// one is announced by a date line. INT64_MIN: nothing written since the start.
std::int64_t lastDay = INT64_MIN;

std::int64_t RealTimeMs() noexcept
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

void CloseLog()
{
    const int fd = logFd;
    logFd = -1;
    if (fd >= 0)
        ::close(fd);
}

// The whole line or nothing more: a failure closes the log for good.
void WriteLine(const std::string& line)
{
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = logSys->Write(logFd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            std::fprintf(stderr, "vantrel: line log %s: write failed: %s; the log is closed, the keying goes on\n",
                         logPath.c_str(), LogFailureText(error).c_str());
            CloseLog();
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

} // namespace

bool StartLineLog(const std::string& path, Clock* clock, SysCalls& sys)
{
    CloseLog();
    logClock = clock;
    logSys = &sys;
    logPath = path;
    lastDay = INT64_MIN;
    if (path.empty())
        return true;
    // Not blocking: a pipe must never hold up the keying.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        const int error = errno;
        std::fprintf(stderr, "vantrel: line log %s: %s\n", path.c_str(), LogFailureText(error).c_str());
        return false;
    }
    logFd = fd;
    return true;
}

bool LineLogOpen() { return logFd >= 0; }

std::string LogFailureText(int error)
{
    if (error == ENXIO)
        return "no program reads this pipe";
    if (error == EAGAIN)
        return "the reader does not keep up";
    return std::strerror(error);
}

std::string LineLogDateText(std::int64_t day)
{
    int year = 0, month = 0, dayOfMonth = 0;
    CivilFromDays(day, year, month, dayOfMonth);
    char text[32];
    std::snprintf(text, sizeof text, "--- %04d-%02d-%02d ---", year, month, dayOfMonth);
    return text;
}

void LogLine(const std::string& what, std::optional<bool> level)
{
    if (logFd < 0 || logClock == nullptr)
        return;
    // After a crash handler's "key off" and "ptt off" the log says nothing more.
    const FencedRequest request;
    if (!request.Allowed())
        return;
    const double now = logClock->Now();
    const std::int64_t ms = DayMs(now);
    offsetMs = ms - RealTimeMs() % kDayMs;
    // The first line of a run and the first after each local midnight follow a
    // date line of their own, which readers matching the time prefix skip.
    const auto day = static_cast<std::int64_t>(std::floor(now));
    if (day != lastDay) {
        lastDay = day;
        WriteLine(LineLogDateText(day) + '\n');
        if (logFd < 0)
            return;
    }
    // Where the devices show their outputs (simulated hardware), after the operation.
    const std::string outputs = Devices().Outputs(PortNumber);
    WriteLine(ClockTextMs(ms) + ' ' + what + (level ? (*level ? " on" : " off") : "")
              + (outputs.empty() ? "" : " " + outputs) + '\n');
}

void LogLineFromSignal(const char* what) noexcept
{
    const int fd = logFd;
    if (fd < 0)
        return;
    std::int64_t ms = (RealTimeMs() + offsetMs.load()) % kDayMs;
    if (ms < 0)
        ms += kDayMs;
    char line[128];
    const int fields[4] = {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                           static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
    std::size_t n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i == 3)
            line[n++] = static_cast<char>('0' + fields[i] / 100);
        line[n++] = static_cast<char>('0' + fields[i] / 10 % 10);
        line[n++] = static_cast<char>('0' + fields[i] % 10);
        line[n++] = i < 2 ? ':' : i == 2 ? '.' : ' ';
    }
    for (; *what != '\0' && n < sizeof line - 1; ++what)
        line[n++] = *what;
    line[n++] = '\n';
    [[maybe_unused]] const ssize_t written = ::write(fd, line, n);
}
