// The service manager's notification protocol: datagrams of "NAME=value"
// lines on the AF_UNIX socket that NOTIFY_SOCKET names ("@" first for the
// abstract namespace). Without NOTIFY_SOCKET nothing is sent. UI thread only.
#pragma once

#include <cstdint>
#include <string>

// Sends `state` ("READY=1", "STATUS=...", "WATCHDOG=1"); false when there is
// no socket or the send failed.
bool NotifyServiceManager(const std::string& state);

// Pings the watchdog when WATCHDOG_USEC asks for one (and WATCHDOG_PID, when
// set, names this process), at most every half of its interval. `nowMs`: a
// steady millisecond count.
void PingWatchdog(std::int64_t nowMs);

// STATUS= lines as they change: sent only when different from the last one.
void NotifyStatus(const std::string& status);
