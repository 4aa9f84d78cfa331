// The line seam of the engine: key, PTT and DFCW, and whether a port is open.
#pragma once

#include <string>

class LineOutput {
public:
    virtual ~LineOutput() = default;
    virtual void SetKey(bool on) = 0;
    virtual void SetPtt(bool on) = 0;
    virtual void SetDfcw(bool level) = 0;
    virtual bool PortIsOpen() const = 0;
    // What the status line must say about the port instead of the state
    // (lost, back again); empty when all is well.
    virtual std::string PortNote() const { return {}; }
};

// The lines of the keying port driver, on whatever port devices are installed.
class PortLines : public LineOutput {
public:
    void SetKey(bool on) override;
    void SetPtt(bool on) override;
    void SetDfcw(bool level) override;
    bool PortIsOpen() const override;
    std::string PortNote() const override;
};
