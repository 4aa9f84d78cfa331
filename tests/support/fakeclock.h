// Tests run on the simulated clock of the core.
#pragma once

#include "keying/simclock.h"

using FakeClock = SimClock;
