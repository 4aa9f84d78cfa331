// The line log (VANTREL_LINE_LOG): one line per port open or close and per
// key, PTT or DFCW change on an open port, "HH:MM:SS.mmm what [on|off]" in
// local time, followed by the port's outputs where the devices show them
// (simulated hardware: "[RTS 0 DTR 1]", "[data FC control 0B]"); appended
// and flushed at once so the program can be watched from outside. UI thread only.
#pragma once

#include <optional>
#include <string>

class Clock;

// Starts appending to `path` with times from `clock`; an empty path stops.
// Returns false, with one line on standard error, when the file cannot be opened.
bool StartLineLog(const std::string& path, Clock* clock);
void LogLine(const std::string& what, std::optional<bool> level = std::nullopt);
