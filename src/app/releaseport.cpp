#include "releaseport.h"

#include "devicechoice.h"
#include "folderlock.h"
#include "clock/clock.h"
#include "io/linelog.h"
#include "io/linuxdevices.h"
#include "io/portdevices.h"
#include "io/portdriver.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "settings/settingslock.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string CurrentFolder()
{
    char path[4096];
    return ::getcwd(path, sizeof path) != nullptr ? path : ".";
}

} // namespace

bool IsReleasePortCommand(int argc, char* argv[])
{
    return argc == 2 && std::strcmp(argv[1], "--release-port") == 0;
}

int ReleasePortCommand()
{
    SetDefaultSettings();
    if (!LoadSettings()) {
        std::fprintf(stderr, "vantrel: --release-port: no readable %s of %zu bytes in %s\n", kSettingsFileName,
                     kRecordSize, CurrentFolder().c_str());
        return 2;
    }
    if (PortNumber == 0) {
        std::fprintf(stderr, "vantrel: --release-port: no keying port is selected in %s/%s; nothing to release\n",
                     CurrentFolder().c_str(), kSettingsFileName);
        return 0;
    }
    // A Vantrel that runs with these settings holds the port and keys it: its
    // lines are not this command's to switch. One that died has left no lock.
    const SettingsLock lock = LockSettingsFile();
    if (lock.state == SettingsLock::Busy) {
        std::fprintf(stderr, "vantrel: --release-port: %s; its port is left as it is\n",
                     SettingsLockText(lock).c_str());
        return kSettingsInUse;
    }
    if (lock.state == SettingsLock::Unavailable)
        std::fprintf(stderr, "vantrel: --release-port: %s\n", SettingsLockText(lock).c_str());
    SystemClock clock;
    StartLineLog(ProcessEnv("VANTREL_LINE_LOG"), &clock);
    const std::unique_ptr<PortDevices> devices = ChooseDevices(clock);
    InstallPortDevices(devices.get());
    const std::string name = PortNameOf(PortNumber);
    OpenSelectedPort();
    int status = 0;
    if (!PortOpen) {
        const std::string device = Devices().Describe(PortNumber).device;
        std::fprintf(stderr, "vantrel: --release-port: %s%s cannot be opened, its lines were not switched\n",
                     name.c_str(), device.empty() ? "" : (" (" + device + ")").c_str());
        status = 1;
    } else {
        ReleasePort();
        std::fprintf(stderr, "vantrel: %s (%s): key and PTT off, port released\n", name.c_str(),
                     Devices().Describe(PortNumber).device.c_str());
    }
    InstallPortDevices(nullptr);
    StartLineLog({}, nullptr);
    UnlockSettingsFile();
    return status;
}
