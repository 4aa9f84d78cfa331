#include "txloghook.h"

#include "keyform.h"
#include "keying/txlog.h"

#include <memory>

namespace {

// Lives to the end of the process, after the windows.
std::unique_ptr<keying::TxLog> txLog;

} // namespace

void StartTxLog(const std::string& path)
{
    if (path.empty())
        return;
    txLog = std::make_unique<keying::TxLog>(path);
    txLog->Check();
    KeyForm->Engine().Observer = txLog.get();
}

void LogSignalStop()
{
    if (txLog != nullptr && KeyForm != nullptr && KeyForm->isVisible())
        txLog->Interrupted(KeyForm->Engine());
}
