#include "commandline.h"

#include "settings/settings.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>

namespace {

constexpr std::string_view kWaitOption = "--wait-for-clock";

bool IsWaitOption(const std::string& arg)
{
    return arg == kWaitOption || (arg.starts_with(kWaitOption) && arg[kWaitOption.size()] == '=');
}

// The SECONDS of --wait-for-clock=SECONDS: decimal digits, at most a year.
std::optional<std::int32_t> WaitSeconds(const std::string& arg)
{
    const std::string digits = arg.substr(kWaitOption.size() + 1);
    if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long seconds = std::stol(digits);
    return seconds <= 366L * 86400 ? std::optional<std::int32_t>(static_cast<std::int32_t>(seconds)) : std::nullopt;
}

} // namespace

bool IsAutoStartCommandLine(const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    std::copy_if(args.begin(), args.end(), std::back_inserter(words),
                 [](const std::string& a) { return !IsWaitOption(a); });
    if (words.size() != 1)
        return false;
    static constexpr std::string_view word = "autostart";
    const std::string& arg = words.front();
    return arg.size() == word.size()
        && std::equal(arg.begin(), arg.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

ClockWaitRequest ClockWaitOption(const std::vector<std::string>& args)
{
    ClockWaitRequest request;
    for (const std::string& arg : args) {
        if (!IsWaitOption(arg))
            continue;
        request.wait = true;
        request.maxSeconds = arg == kWaitOption ? -1 : WaitSeconds(arg).value_or(0);
    }
    return request;
}

CommandLineAction ParseCommandLine(const std::vector<std::string>& args, std::string& message)
{
    // The first option decides, so "--help --bogus" still helps.
    bool wait = false;
    for (const std::string& arg : args) {
        if (IsWaitOption(arg)) {
            if (arg != kWaitOption && !WaitSeconds(arg)) {
                message = "--wait-for-clock takes a number of seconds, not '"
                    + arg.substr(kWaitOption.size() + 1) + "'";
                return CommandLineAction::Refuse;
            }
            wait = true;
            continue;
        }
        if (arg == "--help")
            return CommandLineAction::Help;
        if (arg == "--version")
            return CommandLineAction::Version;
        if (arg == "--release-port") { // alone it never reaches here
            message = "--release-port takes no other argument";
            return CommandLineAction::Refuse;
        }
        if (arg.starts_with("--")) {
            message = "unknown option " + arg;
            return CommandLineAction::Refuse;
        }
    }
    if (wait && !IsAutoStartCommandLine(args)) {
        message = "--wait-for-clock goes with autostart";
        return CommandLineAction::Refuse;
    }
    // Any other words are the program's own: "autostart", or ignored.
    return CommandLineAction::Run;
}

std::string UsageText()
{
    return "Usage: vantrel [autostart]\n"
           "       vantrel autostart --wait-for-clock[=SECONDS]\n"
           "       vantrel --release-port\n"
           "Transmits QRSS and DFCW through the RTS/DTR lines of a serial port or the pins\n"
           "of a parallel port. The settings file VANTREL.SET lives in the current folder.\n"
           "\n"
           "  autostart   open the selected port and send the selected text at once\n"
           "              (any letter case); the only way to run without a display\n"
           "  --wait-for-clock[=SECONDS]  with autostart: first wait, keying nothing, until\n"
           "              the system clock is synchronised (at most SECONDS, then start anyway)\n"
           "  --release-port  switch key and PTT off on the port selected in VANTREL.SET\n"
           "              and exit (after a SIGKILL or a power failure): 0 done, 1 the port\n"
           "              cannot be opened, 2 no readable VANTREL.SET, 4 a Vantrel runs with it\n"
           "  --help      this text\n"
           "  --version   the version\n"
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

std::string VersionLine()
{
    // The version lives with the settings defaults; read them without a file.
    SetDefaultSettings();
    return "vantrel " + VersionText + " (" + VersionDate + ")\n";
}
