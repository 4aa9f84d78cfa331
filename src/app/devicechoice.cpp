#include "devicechoice.h"

#include "io/linuxdevices.h"
#include "io/simdevices.h"
#include "io/syscalls.h"

#include <cstdio>


std::unique_ptr<PortDevices> ChooseDevices(Clock& clock)
{
    const std::string choice = ProcessEnv("VANTREL_PORT");
    if (choice.empty())
        return std::make_unique<LinuxPortDevices>(RealSysCalls(), false, ProcessEnv);
    if (choice == "sim")
        return std::make_unique<SimPortDevices>(&clock);
    if (choice == "raw")
        return std::make_unique<LinuxPortDevices>(RealSysCalls(), true, ProcessEnv);
    std::fprintf(stderr, "vantrel: VANTREL_PORT=%s is not known (sim or raw); no port will open\n",
                 choice.c_str());
    return nullptr;
}
