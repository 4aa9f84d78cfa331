#include "startcheck.h"

#include "duration.h"
#include "morse.h"
#include "settings/settings.h"

std::string SelectedTextProblem()
{
    // A text without a character to send would only switch PTT, for ever
    // with endless repeats and no interval.
    const int n = SelectedTextNumber();
    if (!TrimSpaces(Texts[static_cast<std::size_t>(n)]).empty())
        return {};
    return "Text " + std::to_string(n) + " is empty : nothing to transmit";
}

std::string StartProblem()
{
    if (std::string problem = SelectedTextProblem(); !problem.empty())
        return problem;
    if (RepeatTimeExceeded())
        return "Repeat function : Text duration (including start and stop id.) exceeds repeat time";
    return {};
}
