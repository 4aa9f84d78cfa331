// vantrel-timeline: previews a beacon. Runs one transmission of the selected
// text (start now, or a later start with its stop time) with the settings in
// ./VANTREL.SET (defaults without one) on the real engine in simulated time,
// with any clock steps asked for, and prints every line operation, state
// change and clock step, then the total duration.
#include "keying/timeline.h"
#include "morse/morse.h"
#include "morse/startcheck.h"
#include "timelinepicture.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "settings/settingsfolder.h"
#include "settings/options.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kUsage =
        "Usage: vantrel-timeline [--start HH:MM:SS.mmm] [--at HHMMSS [--stop HHMMSS]]\n"
        "                        [--step HH:MM:SS.mmm:+-SECONDS]... [--limit HOURS]\n"
        "                        [--picture FILE.png [--frame MINUTES] [--width PIXELS] [--shift HZ]]\n"
        "\n"
        "Runs one transmission of the selected text, with the settings of VANTREL.SET\n"
        "in the current directory (the defaults when there is none), on Vantrel's\n"
        "keying engine in simulated time, ticking at every tenth of a second as the\n"
        "transmit window does, and prints one line per key, PTT or DFCW operation,\n"
        "per state change and per clock step:\n"
        "  12:00:01.400 key on\n"
        "  12:00:01.400 state Sending\n"
        "  02:00:00.000 clock step +3600 s\n"
        "then the total duration (real time: clock steps left out). Nothing is keyed\n"
        "and no sound is made. Times on the days after the start carry the day:\n"
        "+1 00:00:01.000. A start that Vantrel refuses (an empty text, a text longer\n"
        "than its repeat interval) is refused here too, with its message: exit status 1.\n"
        "\n"
        "  --start HH:MM:SS.mmm  local time of day at which the run starts (00:00:00.000)\n"
        "  --at HHMMSS           start later, at this time, instead of at once\n"
        "  --stop HHMMSS         the later start's stop time\n"
        "  --step HH:MM:SS.mmm:+-SECONDS\n"
        "                        the system clock steps by SECONDS (a daylight saving\n"
        "                        change, a correction) when it first reaches that time\n"
        "                        of day, or at once when another step carried it past;\n"
        "                        may be given again\n"
        "  --limit HOURS         stop an endless beacon after this much simulated time (48)\n"
        "  --picture FILE.png    also draw the run as a grabber's waterfall shows it\n"
        "                        (time across, frequency up, frames on the UTC grid)\n"
        "  --frame MINUTES       the grabber's frame, 1 to 60 minutes (10)\n"
        "  --width PIXELS        the width of one frame, 60 to 4000 (800)\n"
        "  --shift HZ            DFCW on a keyed transmitter that moves HZ while the\n"
        "                        DFCW line is high (default: the dot and dash tones)\n"
        "  -h, --help            this text\n"
        "  -V, --version         the version of the program and of this build\n"
        "Options take their value as --name=VALUE or --name VALUE.\n";

// HH:MM:SS.mmm (the milliseconds optional) as ms of the day.
std::optional<std::int64_t> ParseStart(const std::string& text)
{
    int h, m, s, ms = 0, used = 0;
    const bool withMs = std::sscanf(text.c_str(), "%2d:%2d:%2d.%3d%n", &h, &m, &s, &ms, &used) == 4;
    if (!withMs && (std::sscanf(text.c_str(), "%2d:%2d:%2d%n", &h, &m, &s, &used) != 3))
        return std::nullopt;
    if (static_cast<std::size_t>(used) != text.size() || h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0 || ms < 0)
        return std::nullopt;
    return ((h * 60LL + m) * 60 + s) * 1000 + ms;
}

// "HH:MM:SS.mmm:+SECONDS" or "...:-SECONDS": (ms of the day, step in ms).
std::optional<std::pair<std::int64_t, std::int64_t>> ParseStep(const std::string& text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon + 2 > text.size() || (text[colon + 1] != '+' && text[colon + 1] != '-'))
        return std::nullopt;
    const auto at = ParseStart(text.substr(0, colon));
    const std::string number = text.substr(colon + 2);
    const auto seconds = ToFloat(number);
    if (!at || !seconds || number.find_first_not_of("0123456789.") != std::string::npos || *seconds > 366.0 * 86400)
        return std::nullopt;
    const auto ms = static_cast<std::int64_t>(std::llround(*seconds * 1000.0));
    if (ms == 0)
        return std::nullopt;
    return std::make_pair(*at, text[colon + 1] == '-' ? -ms : ms);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vantrel-timeline: %s\nTry 'vantrel-timeline --help'.\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    std::int64_t start = 0;
    double limitHours = 48;
    PictureRequest picture;
    std::string at, stop;
    std::vector<std::pair<std::int64_t, std::int64_t>> steps;
    const ParsedOptions parsed = ParseOptions({argv + 1, argv + argc}, {
        {"help", 'h', OptionSpec::None}, {"version", 'V', OptionSpec::None},
        {"start", 0, OptionSpec::Required}, {"limit", 0, OptionSpec::Required},
        {"at", 0, OptionSpec::Required}, {"stop", 0, OptionSpec::Required}, {"step", 0, OptionSpec::Required},
        {"picture", 0, OptionSpec::Required}, {"frame", 0, OptionSpec::Required},
        {"width", 0, OptionSpec::Required}, {"shift", 0, OptionSpec::Required}});
    if (AnswerInfoOption(parsed, "vantrel-timeline", kUsage))
        return 0;
    if (!parsed.fault.empty())
        return Fail(parsed.fault);
    if (!parsed.words.empty())
        return Fail("unexpected '" + parsed.words.front() + "'");
    for (const ParsedOptions::Given& given : parsed.options) {
        const std::string arg = "--" + given.name, value = *given.value;
        if (PictureRequest::Takes(arg)) {
            if (const auto error = picture.Take(arg, value))
                return Fail(*error);
        } else if (arg == "--at" || arg == "--stop") {
            if (!IsValidTime(value))
                return Fail(arg + " takes a time of day HHMMSS, not '" + value + "'");
            (arg == "--at" ? at : stop) = value;
        } else if (arg == "--step") {
            const auto step = ParseStep(value);
            if (!step)
                return Fail("--step takes HH:MM:SS.mmm:+SECONDS or HH:MM:SS.mmm:-SECONDS, not '" + value + "'");
            steps.push_back(*step);
        } else if (arg == "--start") {
            const auto time = ParseStart(value);
            if (!time)
                return Fail("--start takes a time of day HH:MM:SS.mmm, not '" + value + "'");
            start = *time;
        } else {
            const auto hours = ToFloat(value);
            if (!hours || *hours <= 0 || *hours > 24 * 366)
                return Fail("--limit takes a number of hours above 0, not '" + value + "'");
            limitHours = *hours;
        }
    }
    if (const auto error = picture.Check())
        return Fail(*error);
    if (!stop.empty() && at.empty())
        return Fail("--stop needs --at: only a later start has a stop time");

    SetDefaultSettings();
    if (SettingsFileMissing())
        std::fprintf(stderr, "vantrel-timeline: %s: the defaults are used\n", MissingSettingsText().c_str());
    LoadSettings();
    if (const std::string problem = StartProblem(); !problem.empty()) {
        std::fprintf(stderr, "vantrel-timeline: %s\n", problem.c_str());
        return 1;
    }
    RunKind = kRunTransmit;
    StartImmediately = at.empty();
    StartTime = at;
    StopTime = stop;

    TimelineRun run;
    run.Start(start);
    for (const auto& [when, ms] : steps)
        run.JumpAt(when, ms);
    const bool ended = run.Run(static_cast<std::int64_t>(limitHours * 3600000.0));
    // A run past midnight counts its days, so that the times never run backwards.
    const std::int64_t startDay = run.startAbs / 86400000;
    for (const TimelineEvent& event : run.events) {
        const std::int64_t day = event.at / 86400000 - startDay;
        std::printf("%s%s\n", day > 0 ? ("+" + std::to_string(day) + ' ').c_str() : "",
                    FormatTimelineEvent(event).c_str());
    }
    const std::int64_t total = run.Elapsed();
    std::printf("total %lld:%s%s\n", static_cast<long long>(total / 3600000),
                ClockTextMs(total).substr(3).c_str(), ended ? "" : " (limit reached; the beacon goes on)");
    if (!picture.file.empty() && !WritePicture(picture, run))
        return 1;
    return 0;
}
