#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the arguments (without the program name), --wait-for-clock
// aside, are exactly one word that reads "autostart" in any letter case.
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
    Refuse   // an unknown "--" option: the message on standard error, exit 2
};

// `message` receives the refusal's text for Refuse.
CommandLineAction ParseCommandLine(const std::vector<std::string>& args, std::string& message);
std::string UsageText();
std::string VersionLine();
