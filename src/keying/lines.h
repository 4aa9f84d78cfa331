// The line seam of the engine: key, PTT and DFCW, and whether a port is open.
#pragma once

class LineOutput {
public:
    virtual ~LineOutput() = default;
    virtual void SetKey(bool on) = 0;
    virtual void SetPtt(bool on) = 0;
    virtual void SetDfcw(bool level) = 0;
    virtual bool PortIsOpen() const = 0;
};

// The lines of the keying port driver, on whatever port devices are installed.
class PortLines : public LineOutput {
public:
    void SetKey(bool on) override;
    void SetPtt(bool on) override;
    void SetDfcw(bool level) override;
    bool PortIsOpen() const override;
};
