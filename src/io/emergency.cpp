#include "emergency.h"

#include "linelog.h"

#include <array>
#include <atomic>
#include <ctime>
#include <linux/gpio.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Two sets of steps: the UI thread fills the one not in use and then switches
// `current` to it in one store, so a handler never sees a half-written set.
std::array<std::array<EmergencyStep, kMaxEmergencySteps>, 2> sets;
// -1: no port open; otherwise set index * 16 + number of steps.
std::atomic<int> current{-1};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

// How long a crash handler waits for a request in flight on the UI thread: a
// tty's or ppdev's request takes microseconds.
constexpr int kCrashWaitMs = 200;

CrashFence processFence;

void Issue(const EmergencyStep& step) noexcept
{
    switch (step.kind) {
    case EmergencyStep::IoctlInt: {
        int value = step.value;
        ::ioctl(step.fd, step.request, &value);
        break;
    }
    case EmergencyStep::IoctlByte: {
        unsigned char value = static_cast<unsigned char>(step.value);
        ::ioctl(step.fd, step.request, &value);
        break;
    }
    case EmergencyStep::PortWrite: {
        const unsigned char value = static_cast<unsigned char>(step.value);
        [[maybe_unused]] const ssize_t n = ::pwrite(step.fd, &value, 1, step.address);
        break;
    }
    case EmergencyStep::LineValues: {
        gpio_v2_line_values values {};
        values.mask = static_cast<unsigned>(step.value);
        ::ioctl(step.fd, step.request, &values);
        break;
    }
    case EmergencyStep::None: break;
    }
}

} // namespace

void SetEmergencySteps(const EmergencyStep* steps, int count)
{
    const int now = current.load();
    const int next = now >= 0 ? 1 - now / 16 : 0;
    count = count < kMaxEmergencySteps ? count : kMaxEmergencySteps;
    for (int i = 0; i < count; ++i)
        sets[static_cast<std::size_t>(next)][static_cast<std::size_t>(i)] = steps[i];
    current.store(next * 16 + count);
}

void ClearEmergencySteps() { current.store(-1); }

int CurrentEmergencySteps(EmergencyStep (&out)[kMaxEmergencySteps])
{
    const int now = current.load();
    for (int i = 0; i < now % 16; ++i)
        out[i] = sets[static_cast<std::size_t>(now / 16)][static_cast<std::size_t>(i)];
    return now < 0 ? -1 : now % 16;
}

void EmergencyLinesOff() noexcept
{
    const int now = current.load();
    if (now < 0)
        return;
    const auto& set = sets[static_cast<std::size_t>(now / 16)];
    for (int i = 0; i < now % 16; ++i)
        Issue(set[static_cast<std::size_t>(i)]);
    LogLineFromSignal("key off");
    LogLineFromSignal("ptt off");
}

// The owner stores itself before it looks at `closed_`, and the handler closes
// before it looks at `owner_` (both sequentially consistent): either the
// request sees the fence closed, or the handler sees the request and waits.
bool CrashFence::Begin() noexcept
{
    const int self = ::gettid();
    if (depth_ > 0 && owner_.load() == self) {
        ++depth_;
        return true;
    }
    owner_.store(self);
    if (closed_.load()) {
        owner_.store(0);
        return false;
    }
    depth_ = 1;
    return true;
}

void CrashFence::End() noexcept
{
    if (--depth_ == 0)
        owner_.store(0);
}

void CrashFence::Close(int maxWaitMs) noexcept
{
    closed_.store(true);
    // A crash on the thread that is inside a request cannot wait for itself.
    const int self = ::gettid();
    for (int waited = 0; waited < maxWaitMs; ++waited) {
        const int owner = owner_.load();
        if (owner == 0 || owner == self)
            return;
        const timespec ms{0, 1000000};
        ::nanosleep(&ms, nullptr);
    }
}

CrashFence& ProcessCrashFence() { return processFence; }

void CrashLinesOff() noexcept
{
    processFence.Close(kCrashWaitMs);
    EmergencyLinesOff();
}
