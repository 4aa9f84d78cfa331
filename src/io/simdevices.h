// Simulated hardware: an I/O space that keeps the parallel-port registers, the
// interval timer and the speaker gate, and serial ports with their two modem
// lines. Every access is recorded with the clock's instant. Serves
// VANTREL_PORT=sim (the whole program without a radio) and the tests.
#pragma once

#include "portdevices.h"
#include "speakerdecoder.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class Clock;

class SimIoSpace : public PortIo {
public:
    struct Access {
        double when;           // the clock's local date-time
        bool write;
        std::uint16_t address;
        std::uint8_t value;
    };

    explicit SimIoSpace(Clock* clock = nullptr) : clock_(clock) {}

    std::uint8_t In(std::uint16_t address) override;
    void Out(std::uint16_t address, std::uint8_t value) override;

    // Register state.
    std::uint8_t Data(std::uint16_t base) const { return Lpt(base).data; }
    std::uint8_t Control(std::uint16_t base) const { return Lpt(base).control; }
    void SetControl(std::uint16_t base, std::uint8_t value) { Lpt(base).control = value; }
    const SpeakerDecoder& Speaker() const { return speaker_; }
    void SetSystemControl(std::uint8_t value) { speaker_.SetSystemControl(value); }

    // The parallel port at `base` pulled out: its register accesses fail with
    // `error` (0: back) and reach nothing; they are not recorded.
    void Disconnect(std::uint16_t base, int error) { Lpt(base).error = error; }
    // The error of the first access that failed since the last call; clears it.
    int TakeError() { return std::exchange(error_, 0); }

    const std::vector<Access>& Accesses() const { return accesses_; }
    // Writes to addresses that no simulated register answers.
    const std::vector<Access>& UnexpectedWrites() const { return unexpected_; }
    void ClearRecord() { accesses_.clear(); unexpected_.clear(); }

private:
    struct LptRegisters {
        std::uint8_t data = 0x00;
        std::uint8_t control = 0xC4; // typical power-up value: INIT high, bits 6..7 set
        int error = 0;               // pulled out: what its accesses fail with
    };
    // The parallel port whose registers `address` reaches, if any.
    LptRegisters* LptAt(std::uint16_t address);
    LptRegisters& Lpt(std::uint16_t base) { return base == ioaddr::Lpt2Base ? lpt_[1] : lpt_[0]; }
    const LptRegisters& Lpt(std::uint16_t base) const { return base == ioaddr::Lpt2Base ? lpt_[1] : lpt_[0]; }
    double Now() const;

    Clock* clock_;
    std::array<LptRegisters, 2> lpt_{};
    SpeakerDecoder speaker_;
    std::vector<Access> accesses_;
    std::vector<Access> unexpected_;
    int error_ = 0;
};

class SimPortDevices : public PortDevices {
public:
    struct ComLines {
        bool rts = false, dtr = false;
    };
    struct Request {
        int handle;
        CommFunction function;
    };

    explicit SimPortDevices(Clock* clock = nullptr) : io_(clock) {}

    int OpenCom(int n) override;
    void EscapeCommFunction(int handle, CommFunction function) override;
    int OpenLpt(int n) override;
    void CloseHandle(int handle) override;
    PortIo& Io() override { return io_; }
    PortDescription Describe(int portNumber) const override;
    std::string LastOpenFailure() const override { return lastFailure_; }
    // "[RTS r DTR d]" for COMn, "[data DD control CC]" (hex) for LPTn.
    std::string Outputs(int portNumber) const override;
    int TakeLineError() override;
    // The GPIO port (30) or the radio (31): its key line and its PTT line,
    // which DFCW shares on GPIO and leaves alone on the radio.
    int OpenLines(int portNumber) override;
    void SetLine(int handle, PortLine line, bool on) override;

    SimIoSpace& Space() { return io_; }
    const SimIoSpace& Space() const { return io_; }
    // Lines of COMn as they stand (raised on open, as a tty's are).
    ComLines Lines(int n) const;
    const std::vector<Request>& Requests() const { return requests_; }
    struct NamedLines {
        bool key = false, ptt = false;
    };
    NamedLines Gpio() const { return gpio_; }
    bool IsOpen(int handle) const { return open_.count(handle) != 0; }
    // COMn (1..9) or LPTn (19 + n) that fails to open, as missing hardware would.
    void SetMissing(int portNumber) { missing_.insert(portNumber); }
    // COMn (1..9), LPTn (19 + n), the GPIO port (30) or the radio (31) pulled
    // out: its line requests or register accesses fail with `error` and it
    // cannot be opened until it is plugged in again.
    void Unplug(int portNumber, int error);
    void PlugIn(int portNumber);

private:
    int Open(int portNumber);

    SimIoSpace io_;
    std::map<int, int> open_;        // handle -> port number
    std::map<int, ComLines> lines_;  // port number -> lines
    std::set<int> missing_;
    std::map<int, int> unplugged_;   // port number -> errno of its line requests
    int lineError_ = 0;
    std::vector<Request> requests_;
    NamedLines gpio_;
    int nextHandle_ = 100;
    std::string lastFailure_;
};
