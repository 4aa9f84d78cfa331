// A run without a display: the auto start that the main window would make on
// its first clock tick, made at once with nobody to click, and then the end
// of the program with a status that a service manager can act on. The port
// is released and the settings are saved on every way out. UI thread only.
#pragma once

#include <QObject>

#include <ctime>
#include <string>

// The line a headless run starts with: port and device, text number and text,
// mode, dot length, repeats, synchronisation and the next start in UTC (`now`
// seconds since 1970).
std::string BeaconSummary(std::time_t now);

class HeadlessRun : public QObject {
public:
    // Exit statuses (2 is a wrong command line, see PrepareStartUp).
    static constexpr int kDone = 0, kRefused = 1, kPortFailed = 3;

    // Call after the main window was shown: its activation, queued by the
    // showing, opens the port first.
    void Begin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Run();
    void Finish(int status);

    bool transmitted_ = false; // the transmit window was shown
};
