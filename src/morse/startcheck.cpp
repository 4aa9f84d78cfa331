#include "startcheck.h"

#include "duration.h"
#include "morse.h"
#include "settings/settings.h"

std::string SelectedTextProblem()
{
    // A text without a character to key would only switch PTT, for ever
    // with endless repeats and no interval.
    return NothingToSendReason();
}

std::string StartProblem()
{
    if (std::string problem = SelectedTextProblem(); !problem.empty())
        return problem;
    if (RepeatTimeExceeded())
        return "Repeat function : Text duration (including start and stop id.) exceeds repeat time";
    return {};
}
