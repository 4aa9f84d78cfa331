#include "guardedlines.h"

namespace keying {

bool GuardedLines::Refused(bool on, bool locked)
{
    if (on && locked)
        ++refused_;
    return on && locked;
}

void GuardedLines::SetKey(bool on)
{
    if (Refused(on, keyLocked_))
        return;
    key_ = on;
    port_.SetKey(on);
}

void GuardedLines::SetPtt(bool on)
{
    if (Refused(on, pttLocked_))
        return;
    ptt_ = on;
    if (!on)
        dfcw_ = false;
    port_.SetPtt(on);
}

void GuardedLines::SetDfcw(bool level)
{
    if (Refused(level, pttLocked_))
        return;
    dfcw_ = level;
    port_.SetDfcw(level);
}

void GuardedLines::Stop(bool force)
{
    if (force || key_)
        SetKey(false);
    // PTT off also lowers a DFCW select that shares its output.
    if (force || ptt_ || dfcw_)
        SetPtt(false);
    dfcw_ = false;
    keyLocked_ = pttLocked_ = true;
    refused_ = 0;
}

void GuardedLines::StopPtt()
{
    SetPtt(false);
    dfcw_ = false;
    pttLocked_ = true;
}

} // namespace keying
