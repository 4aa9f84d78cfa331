// Vantrel: transmits QRSS and DFCW through a serial or parallel port.
#include "appclock.h"
#include "crashguard.h"
#include "devicechoice.h"
#include "folderlock.h"
#include "widgets/form.h"
#include "forms.h"
#include "headless.h"
#include "headlessrun.h"
#include "journal.h"
#include "io/linelog.h"
#include "io/linuxdevices.h"
#include "io/portdevices.h"
#include "keyform.h"
#include "io/portdriver.h"
#include "mainform.h"
#include "portwatch.h"
#include "releaseport.h"
#include "morse/morse.h"
#include "settings/settingsfile.h"
#include "tonegen/sdlplayer.h"
#include "txloghook.h"

#include <QApplication>
#include <QLocale>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// SIGTERM, SIGINT, SIGHUP and the other signals that would end the program
// without a crash end it as Exit does: key and PTT off, port released,
// settings saved. A window that waits (the port warning, the exit dialog)
// answers Cancel, and nothing opens a port after this.
void HandleTerminationSignals(QObject* owner)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        EndPortOpenings();
        // The engine first: a fast identification that this interrupted must
        // not key the port again before the program has left.
        if (KeyForm)
            KeyForm->Engine().ReleaseLines();
        ReleasePort();
        LogSignalStop();
        // Every event loop ends, and each open window closes as its Cancel
        // would (which puts back what it changed); then the settings are saved.
        QApplication::exit(0);
        CancelAllForms();
        SaveSettings();
    });
    InstallReleaseSignals(signalPipe[1]);
}

} // namespace

int main(int argc, char* argv[])
{
    PrefixJournalPriorities();
    InstallCrashGuard();
    if (IsReleasePortCommand(argc, argv))
        return ReleasePortCommand();
    // --help, --version and the display decision come before any window.
    if (const int status = PrepareStartUp({argv + 1, argv + argc}); status >= 0)
        return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    if (!LockFolderForRun())
        return kSettingsInUse;

    // Real numbers are read and shown with the user's decimal separator.
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.front().unicode() < 0x80)
        DecimalSeparator = static_cast<char>(point.front().unicode());

    AppClock clock;
    StartLineLog(ProcessEnv("VANTREL_LINE_LOG"), &clock);
    const std::unique_ptr<PortDevices> devices = ChooseDevices(clock);
    InstallPortDevices(devices.get());
    HandleTerminationSignals(&app);
    WatchLostPort(&app);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    CreateForms(clock, SdlPlayer::Instance(), args);
    StartTxLog(ProcessEnv("VANTREL_TX_LOG"));
    SlowCwForm->show();
    HeadlessRun headless;
    if (Headless)
        headless.Begin();
    const int result = QApplication::exec();
    ReleasePort();
    DestroyForms();
    InstallPortDevices(nullptr);
    StartLineLog({}, nullptr);
    return result;
}
