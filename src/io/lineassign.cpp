#include "lineassign.h"

#include "portdriver.h"
#include "settings/settings.h"

void AssignLines(bool comSwap, std::uint8_t lptWiring)
{
    const bool changed = comSwap != ComSwap || lptWiring != LptWiring;
    if (changed && PortOpen)
        SwitchLinesOff(); // in the old assignment
    ComSwap = comSwap;
    LptWiring = lptWiring;
    if (changed && PortOpen)
        SwitchLinesOff(); // and in the new one
}
