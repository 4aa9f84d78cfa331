// The line log (VANTREL_LINE_LOG): one line per port open or close and per
// key, PTT or DFCW change on an open port, "HH:MM:SS.mmm what [on|off]" in
// local time, followed by the port's outputs where the devices show them
// (simulated hardware: "[RTS 0 DTR 1]", "[data FC control 0B]"); appended at
// once so the program can be watched from outside. A line "--- YYYY-MM-DD ---"
// with the local date comes before the first line of a run and before the
// first line after each local midnight.
// The log never stops the keying: a write that fails (a pipe whose reader
// left, a full disk, the file-size limit) is said once on standard error and
// the log is closed. Writes never block: a pipe whose reader does not keep up
// counts as failed. UI thread only, except LogLineFromSignal.
#pragma once

#include "syscalls.h"

#include <cstdint>
#include <optional>
#include <string>

class Clock;

// Starts appending to `path` with times from `clock`, writing through `sys`;
// an empty path stops. Returns false, with one line on standard error, when
// the file cannot be opened.
bool StartLineLog(const std::string& path, Clock* clock, SysCalls& sys = RealSysCalls());
void LogLine(const std::string& what, std::optional<bool> level = std::nullopt);
// The date line of a local day (days since 1899-12-30): "--- 2026-12-10 ---".
std::string LineLogDateText(std::int64_t day);
// Whether a log is being written.
bool LineLogOpen();
// Why a log write or opening failed, as the user should read it: a pipe
// without a reader, one whose reader does not keep up, or the system's text.
std::string LogFailureText(int error);

// Appends "HH:MM:SS.mmm what" with async-signal-safe calls only, for a crash
// handler: the time is the real-time clock moved by the offset of the clock
// the log was last written with.
void LogLineFromSignal(const char* what) noexcept;
