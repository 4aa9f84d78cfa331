// Tests run on the simulated clock of the core.
#pragma once

#include "clock/simclock.h"

using FakeClock = SimClock;
