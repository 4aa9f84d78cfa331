#include "lineassign.h"

#include "portdriver.h"
#include "settings/settings.h"

void AssignLines(bool comSwap, std::uint8_t lptWiring)
{
    const bool changed = comSwap != ComSwap || lptWiring != LptWiring;
    ComSwap = comSwap;
    LptWiring = lptWiring;
    if (changed && PortOpen) {
        SetKey(false);
        SetPtt(false);
    }
}
