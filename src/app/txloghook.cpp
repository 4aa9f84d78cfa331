#include "txloghook.h"

#include "headless.h"
#include "keyform.h"
#include "keying/txlog.h"
#include "settings/settings.h"

#include <QCoreApplication>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

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
        const std::uint8_t state = engine.R.TxState;
        if (RunKind != kRunTransmit || state == last_)
            return;
        last_ = state;
        if (state == keying::Sending && !inMessage_) {
            inMessage_ = true;
            Say(engine, "start");
        } else if (state == keying::EndSequence && inMessage_) {
            inMessage_ = false;
            Say(engine, "end");
        } else if (state == keying::Stopping && engine.R.StopReached) {
            Say(engine, "stop-time");
        }
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
                                             std::to_string(SelectedTextNumber()), DfcwMode, DotLength,
                                             engine.R.MessageCopy);
        const std::size_t local = line.find(' ');
        line.erase(local, line.find(' ', local + 1) - local);
        std::fprintf(stderr, "vantrel: %s", line.c_str());
    }

    keying::TxLog* log_;
    std::uint8_t last_ = keying::Idle;
    bool inMessage_ = false;
};

} // namespace

void StartTxLog(const std::string& path)
{
    if (path.empty() && !Headless)
        return;
    // Both live to the end of the process, after the windows.
    static std::unique_ptr<keying::TxLog> log;
    static std::unique_ptr<HeadlessTxLines> lines;
    if (!path.empty()) {
        log = std::make_unique<keying::TxLog>(path);
        log->Check();
        KeyForm->Engine().Observer = log.get();
    }
    if (Headless) {
        lines = std::make_unique<HeadlessTxLines>(log.get());
        KeyForm->Engine().Observer = lines.get();
    }
    // The program can only end while the transmit window is up through a
    // signal (the main window is hidden meanwhile): the stop is logged.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
        if (KeyForm == nullptr || !KeyForm->isVisible())
            return;
        if (log)
            log->Interrupted(KeyForm->Engine());
        if (lines)
            lines->Interrupted(KeyForm->Engine());
    });
}
