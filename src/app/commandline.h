#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the arguments (without the program name), options aside, are
// exactly one word that reads "autostart" in any letter case.
bool IsAutoStartCommandLine(const std::vector<std::string>& args);

// --wait-for-clock[=SECONDS] of an auto start: wait, keying nothing, until
// the system clock is synchronised, at most SECONDS (no limit without).
struct ClockWaitRequest {
    bool wait = false;
    std::int32_t maxSeconds = -1;
};
ClockWaitRequest ClockWaitOption(const std::vector<std::string>& args);

// What the command line asks for before any window exists.
enum class CommandLineAction {
    Run,     // the program proper (with or without "autostart")
    Help,    // print UsageText() and exit 0
    Version, // print VersionLine() and exit 0
    Refuse   // a wrong option: the message and the usage on standard error, exit 2
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::Run;
    std::string message;   // why it is refused
    bool autostart = false;
    bool headless = false; // --headless: no window even with a display
    bool desktop = false;  // --desktop: the settings folder of the desktop's launch
    ClockWaitRequest clockWait;
    std::string ignored;   // words that are not a lone "autostart", as typed
};
CommandLine ReadCommandLine(const std::vector<std::string>& args);

// `message` receives the refusal's text for Refuse.
CommandLineAction ParseCommandLine(const std::vector<std::string>& args, std::string& message);
std::string UsageText();
std::string VersionLine();
