// The transmission log (VANTREL_TX_LOG): one line per start and end of a sent
// message and per stop by Cancel, RX, a signal or the stop time, for the
// station log and for matching grabber captures:
//   2026-05-01T06:00:00Z 2026-05-01T08:00:00+02:00 start 1 QRSS 3000ms clock=unsynced VVV DE N0CALL
// UTC and local time (ISO 8601), what happened, the text's number ("QSO" for
// QSO mode), the mode, the dot length keyed (held), on start lines the system clock's
// state (clocksync.h) and last the text. Each line is appended
// with one write to a file opened for it, so a rotated log is picked up at
// once and nothing waits in a buffer; a pipe stays open while its reader
// reads. Nothing waits for the log: a pipe without a reader, or whose reader
// does not keep up, loses the line. A failure is said once on standard error
// (again only after a line got through); the keying goes on. UI thread only.
#pragma once

#include "engine.h"

#include <cstdint>
#include <functional>
#include <string>

namespace keying {

class TxLog : public EngineObserver {
public:
    // `utcMs`: milliseconds since 1970-01-01 UTC; the system clock by default.
    explicit TxLog(std::string path, std::function<std::int64_t()> utcMs = {});
    ~TxLog() override;
    TxLog(const TxLog&) = delete;
    TxLog& operator=(const TxLog&) = delete;

    // False, with one line on standard error, when the file cannot be opened.
    bool Check();

    void Ticked(const KeyEngine& engine) override;
    void Cancelled(const KeyEngine& engine) override;
    // The program ends while the engine still runs: a signal stopped it.
    void Interrupted(const KeyEngine& engine);

private:
    void Write(const KeyEngine& engine, const char* what);
    // The descriptor for the next line: the open pipe, or the file opened for
    // it; -1 with errno set when it cannot be opened.
    int Descriptor();
    void Failed(int error);
    bool Running(const KeyEngine& engine) const;

    std::string path_;
    std::function<std::int64_t()> utcMs_;
    std::uint8_t last_ = Idle;
    bool inMessage_ = false; // between a "start" and its "end" or stop
    bool failed_ = false;    // reported once
    int pipeFd_ = -1;        // the log is a pipe with a reader
};

// One line of the log, with its newline. `text` is bytes (Latin-1); `clock`,
// when not empty, stands before it.
std::string TxLogLine(std::int64_t utcMs, const std::string& what, const std::string& textNumber,
                      bool dfcw, std::int32_t dotMs, const std::string& text, const std::string& clock = {});

} // namespace keying
