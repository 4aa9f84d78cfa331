// Key and PTT off when the program crashes: the few system requests that do
// it on the open port, worked out when the port opens and kept as plain
// values, so that a crash handler can issue them with async-signal-safe calls
// only and without any object of the program.
#pragma once

#include <atomic>
#include <cstdint>

struct EmergencyStep {
    enum Kind : std::uint8_t { None, IoctlInt, IoctlByte, PortWrite, LineValues };
    Kind kind = None;
    int fd = -1;
    unsigned long request = 0; // IoctlInt, IoctlByte
    int value = 0;             // the ioctl's int or byte argument; the byte PortWrite writes;
                               // LineValues: the mask of GPIO lines the ioctl sets to 0
    long address = 0;          // PortWrite: the offset in /dev/port
};

inline constexpr int kMaxEmergencySteps = 2;

// A port is open: `count` steps (none for simulated hardware) switch its key
// and PTT off. UI thread.
void SetEmergencySteps(const EmergencyStep* steps, int count);
// No port is open.
void ClearEmergencySteps();

// The steps in force, copied to `out`: their number, -1 when no port is open.
int CurrentEmergencySteps(EmergencyStep (&out)[kMaxEmergencySteps]);

// Issues the steps of the open port, then writes "key off" and "ptt off" to
// the line log; nothing when no port is open. Async-signal-safe.
void EmergencyLinesOff() noexcept;

// A crash handler may run on any thread while the UI thread goes on until the
// process ends. The fence keeps that thread from switching a line after the
// handler's lines off: every device request and line log write passes Begin
// and End (UI thread; nested pairs are allowed); once the handler has closed
// the fence, Begin refuses, and Close itself returns only after a request that
// another thread had begun has ended.
class CrashFence {
public:
    // False once the fence is closed: make no request then (and no End).
    bool Begin() noexcept;
    void End() noexcept;
    // Async-signal-safe. Waits at most `maxWaitMs` for a request in flight on
    // another thread (a device that hangs must not keep the lines on).
    void Close(int maxWaitMs) noexcept;
    bool Closed() const noexcept { return closed_.load(); }

private:
    std::atomic<bool> closed_{false};
    std::atomic<int> owner_{0}; // thread id inside a request, 0 when none
    int depth_ = 0;             // the owner's nesting; read by the owner only
};

// The fence of the whole process.
CrashFence& ProcessCrashFence();

// One device request of the UI thread under the process's fence.
class FencedRequest {
public:
    FencedRequest() noexcept : allowed_(ProcessCrashFence().Begin()) {}
    ~FencedRequest()
    {
        if (allowed_)
            ProcessCrashFence().End();
    }
    FencedRequest(const FencedRequest&) = delete;
    FencedRequest& operator=(const FencedRequest&) = delete;
    bool Allowed() const noexcept { return allowed_; }

private:
    bool allowed_;
};

// The crash handler's lines off: closes the process's fence, then
// EmergencyLinesOff. Nothing reaches a port or the line log afterwards.
// Async-signal-safe.
void CrashLinesOff() noexcept;
