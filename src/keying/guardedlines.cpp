#include "guardedlines.h"

namespace keying {

void GuardedLines::SetKey(bool on)
{
    if (on && keyLocked_) {
        ++refused_;
        return;
    }
    key_ = on;
    port_.SetKey(on);
}

void GuardedLines::SetPtt(bool on)
{
    if (on && pttLocked_) {
        ++refused_;
        return;
    }
    ptt_ = on;
    if (!on)
        dfcw_ = false;
    port_.SetPtt(on);
}

void GuardedLines::SetDfcw(bool level)
{
    if (level && pttLocked_) {
        ++refused_;
        return;
    }
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
