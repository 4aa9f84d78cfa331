#include "headlessrun.h"

#include "io/portdriver.h"
#include "keyform.h"
#include "mainform.h"
#include "settings/settings.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>

void HeadlessRun::Begin()
{
    // The main window is closed before the end; the status is this run's.
    QApplication::setQuitOnLastWindowClosed(false);
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
