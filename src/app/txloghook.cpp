#include "txloghook.h"

#include "headless.h"
#include "io/portdevices.h"
#include "io/portdriver.h"
#include "notify.h"
#include "keyform.h"
#include "keying/txlog.h"
#include "settings/settings.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// Both live to the end of the process, after the windows.
std::unique_ptr<keying::TxLog> txLog;
std::string UtcClock(std::time_t at)
{
    char text[16];
    std::tm utc{};
    std::strftime(text, sizeof text, "%H:%M:%SZ", gmtime_r(&at, &utc));
    return text;
}

// The next local time of day `second` (0..86399) from now, as a time.
std::time_t NextLocalSecond(std::int32_t second)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = second / 3600;
    local.tm_min = second / 60 % 60;
    local.tm_sec = second % 60;
    local.tm_isdst = -1;
    std::time_t at = std::mktime(&local);
    if (at < now)
        at += 86400;
    return at;
}

// A headless run also says on standard error (the journal under a service
// manager) when each message starts and ends or is stopped, in the
// transmission log's words, and hands every call on to that log.
class HeadlessTxLines : public keying::EngineObserver {
public:
    explicit HeadlessTxLines(keying::TxLog* log) : log_(log) {}

    void Ticked(const keying::KeyEngine& engine) override
    {
        if (log_ != nullptr)
            log_->Ticked(engine);
        // The keying timer is what must not hang: the watchdog is fed here.
        PingWatchdog(std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now().time_since_epoch()).count());
        const std::uint8_t state = engine.R.TxState;
        if (RunKind == kRunTransmit && state != last_) {
            last_ = state;
            const std::string text = "text " + std::to_string(SelectedTextNumber());
            if (state == keying::Sending && !inMessage_) {
                inMessage_ = true;
                Say(engine, "start");
                status_ = "transmitting " + text + ", ends " + UtcClock(std::time(nullptr) + engine.R.MessageSeconds);
            } else if (state == keying::EndSequence && inMessage_) {
                inMessage_ = false;
                Say(engine, "end");
            } else if (state == keying::Stopping && engine.R.StopReached) {
                Say(engine, "stop-time");
            } else if (state == keying::WaitRepeat) {
                status_ = text + ", next start " + UtcClock(NextLocalSecond(engine.R.NextStartSecond));
            }
        }
        NotifyStatus(PortLost() ? "port " + PortNameOf(PortNumber) + " lost, reopening" : status_);
    }
    void Cancelled(const keying::KeyEngine& engine) override
    {
        if (log_ != nullptr)
            log_->Cancelled(engine);
        if (inMessage_)
            Say(engine, "stop-cancel");
        inMessage_ = false;
        last_ = keying::Idle;
    }
    void Interrupted(const keying::KeyEngine& engine)
    {
        if (engine.R.TxState != keying::Idle && engine.R.TxState != keying::Stopping)
            Say(engine, "stop-signal");
    }

private:
    void Say(const keying::KeyEngine& engine, const char* what)
    {
        // The log's line without its local time: "2026-05-01T06:00:01Z start 1 QRSS 3000ms E".
        std::string line = keying::TxLogLine(static_cast<std::int64_t>(std::time(nullptr)) * 1000, what,
                                             std::to_string(SelectedTextNumber()), DfcwMode, keying::KeyEngine::HeldDot(),
                                             engine.R.MessageCopy);
        const std::size_t local = line.find(' ');
        line.erase(local, line.find(' ', local + 1) - local);
        std::fprintf(stderr, "vantrel: %s", line.c_str());
    }

    keying::TxLog* log_;
    std::string status_; // for the service manager while the port is well
    std::uint8_t last_ = keying::Idle;
    bool inMessage_ = false;
};

std::unique_ptr<HeadlessTxLines> txLines;

} // namespace

void StartTxLog(const std::string& path)
{
    if (path.empty() && !Headless)
        return;
    if (!path.empty()) {
        txLog = std::make_unique<keying::TxLog>(path);
        txLog->Check();
        KeyForm->Engine().Observer = txLog.get();
    }
    if (Headless) {
        txLines = std::make_unique<HeadlessTxLines>(txLog.get());
        KeyForm->Engine().Observer = txLines.get();
    }
}

void LogSignalStop()
{
    if (KeyForm == nullptr || !KeyForm->isVisible())
        return;
    if (txLog != nullptr)
        txLog->Interrupted(KeyForm->Engine());
    if (txLines != nullptr)
        txLines->Interrupted(KeyForm->Engine());
}
