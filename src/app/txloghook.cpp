#include "txloghook.h"

#include "keyform.h"
#include "keying/txlog.h"

#include <QCoreApplication>

#include <memory>

void StartTxLog(const std::string& path)
{
    if (path.empty())
        return;
    // Lives to the end of the process, after the windows.
    static std::unique_ptr<keying::TxLog> log;
    log = std::make_unique<keying::TxLog>(path);
    log->Check();
    KeyForm->Engine().Observer = log.get();
    // The program can only end while the transmit window is up through a
    // signal (the main window is hidden meanwhile): the stop is logged.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
        if (KeyForm != nullptr && KeyForm->isVisible())
            log->Interrupted(KeyForm->Engine());
    });
}
