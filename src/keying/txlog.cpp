#include "txlog.h"

#include "clock/clocksync.h"
#include "io/linelog.h"
#include "settings/settings.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keying {

namespace {

std::int64_t SystemUtcMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Iso(const std::tm& t, const char* zone)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, zone);
    return text;
}

// One line whatever the bytes of a text edited into the settings file.
std::string Printable(const std::string& bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            out += '?';
        } else if (u < 0x80) {
            out += c;
        } else { // Latin-1 to UTF-8
            out += static_cast<char>(0xc0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3f));
        }
    }
    return out;
}

} // namespace

std::string TxLogLine(std::int64_t utcMs, const std::string& what, const std::string& textNumber,
                      bool dfcw, std::int32_t dotMs, const std::string& text, const std::string& clock)
{
    const std::time_t seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm utc{}, local{};
    gmtime_r(&seconds, &utc);
    localtime_r(&seconds, &local);
    const long offset = local.tm_gmtoff / 60;
    char zone[24];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    return Iso(utc, "Z") + ' ' + Iso(local, zone) + ' ' + what + ' ' + textNumber + ' '
        + (dfcw ? "DFCW " : "QRSS ") + std::to_string(dotMs) + "ms " + (clock.empty() ? "" : clock + ' ')
        + Printable(text) + '\n';
}

TxLog::TxLog(std::string path, std::function<std::int64_t()> utcMs)
    : path_(std::move(path)), utcMs_(utcMs ? std::move(utcMs) : SystemUtcMs)
{
}

TxLog::~TxLog()
{
    if (pipeFd_ >= 0)
        ::close(pipeFd_);
}

int TxLog::Descriptor()
{
    if (pipeFd_ >= 0)
        return pipeFd_;
    // Never waits: a pipe without a reader fails at once (ENXIO).
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode))
        pipeFd_ = fd; // its reader sees one stream, not an end after every line
    return fd;
}

void TxLog::Failed(int error)
{
    if (!failed_)
        std::fprintf(stderr,
                     "vantrel: transmission log %s: %s; its lines are lost until it can be written, "
                     "the keying goes on\n",
                     path_.c_str(), LogFailureText(error).c_str());
    failed_ = true;
}

bool TxLog::Check()
{
    const int fd = Descriptor();
    if (fd < 0) {
        Failed(errno);
        return false;
    }
    if (fd != pipeFd_)
        ::close(fd);
    return true;
}

void TxLog::Write(const KeyEngine& engine, const char* what)
{
    const bool qso = RunKind == kRunQso;
    // A start says whether the clock that placed it was synchronised.
    const std::string clock = std::string(what) == "start" ? ClockSyncField(QueryClockSync()) : "";
    // The dot keyed: a dot length edited into the file out of range is held
    // to the dialog's range, as the engine holds it.
    const std::string line = TxLogLine(utcMs_(), what, qso ? "QSO" : std::to_string(SelectedTextNumber()),
                                       DfcwMode, qso ? engine.R.CurrentDot : KeyEngine::HeldDot(),
                                       engine.R.MessageCopy, clock);
    const int fd = Descriptor();
    if (fd < 0) {
        Failed(errno);
        return;
    }
    // One write, whole or failed: a line fits into a pipe's atomic size, and
    // a pipe whose reader does not keep up refuses it (EAGAIN) rather than wait.
    ssize_t n;
    do
        n = ::write(fd, line.data(), line.size());
    while (n < 0 && errno == EINTR);
    const int error = n < 0 ? errno : EIO;
    const bool written = n == static_cast<ssize_t>(line.size());
    if (fd != pipeFd_) {
        ::close(fd);
    } else if (!written && error != EAGAIN) {
        ::close(fd);
        pipeFd_ = -1; // its reader left: the next line opens the pipe again
    }
    if (written)
        failed_ = false;
    else
        Failed(error);
}

bool TxLog::Running(const KeyEngine& engine) const
{
    return (RunKind == kRunTransmit || RunKind == kRunQso) && engine.R.TxState != Idle
        && engine.R.TxState != Stopping;
}

void TxLog::Ticked(const KeyEngine& engine)
{
    if (RunKind != kRunTransmit && RunKind != kRunQso)
        return;
    const std::uint8_t state = engine.R.TxState;
    if (state == last_)
        return;
    last_ = state;
    if (state == Sending && !inMessage_) {
        inMessage_ = true;
        Write(engine, "start");
    } else if (state == EndSequence && inMessage_) {
        inMessage_ = false;
        Write(engine, "end");
    } else if ((state == Stopping || state == Idle) && inMessage_) {
        // Only RX in QSO mode leaves a message before its end.
        inMessage_ = false;
        Write(engine, "stop-rx");
    }
    if (state == Stopping && engine.R.StopReached)
        Write(engine, "stop-time");
}

void TxLog::Cancelled(const KeyEngine& engine)
{
    if (Running(engine))
        Write(engine, "stop-cancel");
    inMessage_ = false;
    last_ = Idle;
}

void TxLog::Interrupted(const KeyEngine& engine)
{
    if (Running(engine))
        Write(engine, "stop-signal");
    inMessage_ = false;
    last_ = Idle;
}

} // namespace keying
