#include "commandline.h"

#include "settings/options.h"

#include <algorithm>
#include <cctype>

namespace {

const std::vector<OptionSpec> kOptions = {
    {"help", 'h', OptionSpec::None},
    {"version", 'V', OptionSpec::None},
    {"headless", 0, OptionSpec::None},
    {"desktop", 0, OptionSpec::None},
    {"wait-for-clock", 0, OptionSpec::Optional},
    // Alone it is handled before anything else (see IsReleasePortCommand).
    {"release-port", 0, OptionSpec::None},
};

// The SECONDS of --wait-for-clock=SECONDS: decimal digits, at most a year.
std::optional<std::int32_t> WaitSeconds(const std::string& digits)
{
    if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long seconds = std::stol(digits);
    return seconds <= 366L * 86400 ? std::optional<std::int32_t>(static_cast<std::int32_t>(seconds)) : std::nullopt;
}

bool IsAutoStartWord(const std::vector<std::string>& words)
{
    static constexpr std::string_view word = "autostart";
    return words.size() == 1 && words.front().size() == word.size()
        && std::equal(word.begin(), word.end(), words.front().begin(),
                      [](char w, char a) { return std::tolower(static_cast<unsigned char>(a)) == w; });
}

} // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    const ParsedOptions parsed = ParseOptions(args, kOptions);
    // The first option decides, so "--help --bogus" still helps.
    for (const ParsedOptions::Given& option : parsed.options) {
        if (option.name == "help" || option.name == "version") {
            line.action = option.name == "help" ? CommandLineAction::Help : CommandLineAction::Version;
            return line;
        }
    }
    auto refuse = [&line](std::string message) {
        line.action = CommandLineAction::Refuse;
        line.message = std::move(message);
        return line;
    };
    if (!parsed.fault.empty())
        return refuse(parsed.fault);
    // A word that looks like an option is a mistyped one, never a text.
    for (const std::string& word : parsed.words)
        if (word.starts_with('-'))
            return refuse("unknown option '" + word + "'");
    if (parsed.Has("release-port"))
        return refuse("--release-port takes no other argument");
    line.autostart = IsAutoStartWord(parsed.words);
    line.headless = parsed.Has("headless");
    line.desktop = parsed.Has("desktop");
    if (parsed.Has("wait-for-clock")) {
        line.clockWait.wait = true;
        if (const auto value = parsed.Value("wait-for-clock")) {
            const auto seconds = WaitSeconds(*value);
            line.clockWait.maxSeconds = seconds.value_or(0);
            if (!seconds)
                return refuse("--wait-for-clock takes a number of seconds, not '" + *value + "'");
        }
        if (!line.autostart)
            return refuse("--wait-for-clock goes with autostart");
    }
    if (!line.autostart) {
        for (const std::string& word : parsed.words)
            line.ignored += (line.ignored.empty() ? "" : " ") + word;
    }
    return line;
}

bool IsAutoStartCommandLine(const std::vector<std::string>& args)
{
    const ParsedOptions parsed = ParseOptions(args, kOptions);
    return parsed.fault.empty() && IsAutoStartWord(parsed.words);
}

ClockWaitRequest ClockWaitOption(const std::vector<std::string>& args)
{
    ClockWaitRequest request;
    const ParsedOptions parsed = ParseOptions(args, kOptions);
    if (parsed.Has("wait-for-clock")) {
        request.wait = true;
        if (const auto value = parsed.Value("wait-for-clock"))
            request.maxSeconds = WaitSeconds(*value).value_or(0);
    }
    return request;
}

CommandLineAction ParseCommandLine(const std::vector<std::string>& args, std::string& message)
{
    const CommandLine line = ReadCommandLine(args);
    message = line.message;
    return line.action;
}

std::string UsageText()
{
    return "Usage: vantrel [--headless] [--desktop] [autostart]\n"
           "       vantrel autostart --wait-for-clock[=SECONDS]\n"
           "       vantrel --release-port\n"
           "Transmits QRSS and DFCW through the RTS/DTR lines of a serial port or the pins\n"
           "of a parallel port. The settings file VANTREL.SET lives in the current folder.\n"
           "\n"
           "  autostart   open the selected port and send the selected text at once\n"
           "              (any letter case); the only way to run without a display\n"
           "  --headless  no window even where a display is reachable (with autostart)\n"
           "  --desktop   keep the settings in $XDG_CONFIG_HOME/vantrel (~/.config/vantrel),\n"
           "              made when needed, instead of the current folder (the menu's entry)\n"
           "  --wait-for-clock[=SECONDS]  with autostart: first wait, keying nothing, until\n"
           "              the system clock is synchronised (at most SECONDS, then start anyway)\n"
           "  --release-port  switch key and PTT off on the port selected in VANTREL.SET\n"
           "              and exit (after a SIGKILL or a power failure): 0 done, 1 the port\n"
           "              cannot be opened, 2 no readable VANTREL.SET, 4 a Vantrel runs with it\n"
           "  -h, --help  this text\n"
           "  -V, --version  the version of the program and of this build\n"
           "\n"
           "Without a display Vantrel runs headless: messages go to standard error and\n"
           "the program ends when the transmission ends. Exit status: 0 done (or ended\n"
           "by SIGTERM, SIGINT or SIGHUP), 1 the start was refused, 2 a wrong command\n"
           "line or no VANTREL.SET, 3 the selected port could not be opened, 4 another Vantrel runs in\n"
           "this folder (one at a time may use its VANTREL.SET).\n"
           "\n"
           "Environment: VANTREL_COM1..VANTREL_COM9, VANTREL_LPT1, VANTREL_LPT2 (device\n"
           "paths), VANTREL_PORT=sim|raw, VANTREL_LINE_LOG=FILE, VANTREL_TX_LOG=FILE.\n";
}

std::string VersionLine() { return ProgramVersionText("vantrel"); }
