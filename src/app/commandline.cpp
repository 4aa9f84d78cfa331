#include "commandline.h"

#include "settings/settings.h"

#include <algorithm>
#include <cctype>

bool IsAutoStartCommandLine(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return false;
    static constexpr std::string_view word = "autostart";
    const std::string& arg = args.front();
    return arg.size() == word.size()
        && std::equal(arg.begin(), arg.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

CommandLineAction ParseCommandLine(const std::vector<std::string>& args, std::string& message)
{
    // The first option decides, so "--help --bogus" still helps.
    for (const std::string& arg : args) {
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
    // Any other words are the program's own: "autostart", or ignored.
    return CommandLineAction::Run;
}

std::string UsageText()
{
    return "Usage: vantrel [autostart]\n"
           "       vantrel --release-port\n"
           "Transmits QRSS and DFCW through the RTS/DTR lines of a serial port or the pins\n"
           "of a parallel port. The settings file VANTREL.SET lives in the current folder.\n"
           "\n"
           "  autostart   open the selected port and send the selected text at once\n"
           "              (any letter case); the only way to run without a display\n"
           "  --release-port  switch key and PTT off on the port selected in VANTREL.SET\n"
           "              and exit (after a SIGKILL or a power failure): 0 done, 1 the port\n"
           "              cannot be opened, 2 no readable VANTREL.SET, 4 a Vantrel runs with it\n"
           "  --help      this text\n"
           "  --version   the version\n"
           "\n"
           "Without a display Vantrel runs headless: messages go to standard error and\n"
           "the program ends when the transmission ends. Exit status: 0 done (or ended\n"
           "by SIGTERM, SIGINT or SIGHUP), 1 the start was refused, 2 a wrong command\n"
           "line, 3 the selected port could not be opened, 4 another Vantrel runs in\n"
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
