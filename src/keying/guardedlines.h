// The engine's one gate to the key and PTT lines. Once a stop (Cancel, RX,
// Release key, the end of a run, the window closing, a termination signal)
// has switched the lines off, the gate refuses to switch them on again until
// the operator re-arms it with a new start, TX, Push key or Push PTT: nothing
// the engine does by itself afterwards can key the transmitter. UI thread only.
#pragma once

#include "lines.h"

namespace keying {

class GuardedLines : public LineOutput {
public:
    explicit GuardedLines(LineOutput& port) : port_(port) {}

    void SetKey(bool on) override;
    void SetPtt(bool on) override;
    // The DFCW select shares its output with PTT on a serial port and in the
    // standard parallel wiring: while PTT is locked it may only go low.
    void SetDfcw(bool level) override;
    bool PortIsOpen() const override { return port_.PortIsOpen(); }
    std::string PortNote() const override { return port_.PortNote(); }

    // Key and PTT off, both locked. Without `force` only a line this gate
    // left on is switched (the line log shows no repeated offs).
    void Stop(bool force);
    // PTT off and locked; the key is the operator's (transmitter test).
    void StopPtt();
    // Locked without switching: the caller has switched what it must.
    void Lock() { keyLocked_ = pttLocked_ = true; }
    void LockKey() { keyLocked_ = true; }
    // The operator's own start: both lines may be switched again.
    void Arm() { keyLocked_ = pttLocked_ = false; }
    void ArmPtt() { pttLocked_ = false; }

    bool Key() const { return key_; }
    bool Ptt() const { return ptt_; }
    bool Locked() const { return keyLocked_ && pttLocked_; }
    // Requests refused since the last stop (for tests and diagnosis).
    int Refused() const { return refused_; }

private:
    // Counts and refuses switching on a locked line.
    bool Refused(bool on, bool locked);

    LineOutput& port_;
    bool key_ = false, ptt_ = false, dfcw_ = false;
    bool keyLocked_ = false, pttLocked_ = false;
    int refused_ = 0;
};

} // namespace keying
