#include "headlessrun.h"

#include "io/portdevices.h"
#include "io/portdriver.h"
#include "keyform.h"
#include "mainform.h"
#include "notify.h"
#include "settings/settings.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

std::string BeaconSummary(std::time_t now)
{
    static constexpr int syncMinutes[] = {0, 1, 2, 5, 10, 30, 60};
    const int sync = syncMinutes[EffectiveSyncPeriod()];
    const int number = SelectedTextNumber();
    std::string port = "no port";
    if (PortNumber != kPortNone) {
        port = "port " + PortNameOf(PortNumber);
        if (const std::string device = Devices().Describe(PortNumber).device; !device.empty())
            port += " (" + device + ')';
    }
    // A synchronised start waits for the next boundary of its period in UTC.
    std::string start = "now";
    if (sync > 0) {
        const std::time_t next = (now / (sync * 60) + 1) * (sync * 60);
        char text[16];
        std::tm utc{};
        std::strftime(text, sizeof text, "%H:%M:%SZ", gmtime_r(&next, &utc));
        start = text;
    }
    const std::string repeats = RepeatCount == 0 ? "endless repeats" : RepeatCount == 1 ? "once"
        : std::to_string(RepeatCount) + " times";
    return port + ", text " + std::to_string(number) + " \"" + Texts[static_cast<std::size_t>(number)] + "\", "
        + (DfcwMode ? "DFCW" : "QRSS") + ' ' + std::to_string(DotLength) + " ms dots, " + repeats
        + (RepeatCount == 1 ? "" : RepeatInterval == 0 ? " back to back" : " every " + std::to_string(RepeatInterval) + " min")
        + ", "
        + (sync > 0 ? "sync " + std::to_string(sync) + " min" : "no sync") + ", next start " + start;
}

void HeadlessRun::Begin()
{
    // The main window is closed before the end; the status is this run's.
    QApplication::setQuitOnLastWindowClosed(false);
    // Nobody sees the offscreen windows: nothing of them is painted (the
    // transmit window's labels change every tick).
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setUpdatesEnabled(false);
    QTimer::singleShot(0, this, &HeadlessRun::Run);
}

bool HeadlessRun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == KeyForm && event->type() == QEvent::Show)
        transmitted_ = true;
    return QObject::eventFilter(watched, event);
}

void HeadlessRun::Run()
{
    // The main window's activation has opened the port, as "autostart" does;
    // its clock must not start a second time.
    AutoStart = false;
    if (PortNumber != kPortNone && !PortOpen) {
        std::fprintf(stderr, "vantrel: the selected port could not be opened; nothing is sent\n");
        Finish(kPortFailed);
        return;
    }
    if (PortNumber == kPortNone)
        std::fprintf(stderr, "vantrel: no port is selected; the transmission keys nothing\n");
    const std::string summary = BeaconSummary(std::time(nullptr));
    std::fprintf(stderr, "vantrel: %s\n", summary.c_str());
    // The port is open (or none is wanted): ready, as far as a service
    // manager is concerned.
    NotifyServiceManager("READY=1\nSTATUS=text " + std::to_string(SelectedTextNumber())
                         + summary.substr(summary.rfind(", next start")));
    // Whatever refuses the start (the repeat time, an empty text) has put its
    // message on standard error and shown no transmit window.
    KeyForm->installEventFilter(this);
    SlowCwForm->StartNowClick();
    KeyForm->removeEventFilter(this);
    if (!transmitted_)
        std::fprintf(stderr, "vantrel: the start was refused\n");
    Finish(transmitted_ ? kDone : kRefused);
}

void HeadlessRun::Finish(int status)
{
    ReleasePort();
    SlowCwForm->close(); // saves the settings
    QApplication::exit(status);
}
