#include "crashguard.h"

#include "io/emergency.h"
#include "journal.h"

#include <csignal>
#include <cstdlib>

namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};

// Async-signal-safe calls only. SA_RESETHAND has put back the default action;
// the signal stays blocked until the handler returns, and is then delivered
// again with that action (a fault also recurs at its instruction).
void OnCrash(int signal)
{
    EmergencyLinesOff();
    WriteCrashLine(signal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void InstallCrashGuard()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);

    // A stack overflow leaves no stack for the handler: it runs on its own.
    static char altStack[64 * 1024];
    stack_t stack {};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof altStack;
    const bool onStack = ::sigaltstack(&stack, nullptr) == 0;

    struct sigaction action {};
    action.sa_handler = OnCrash;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | (onStack ? SA_ONSTACK : 0);
    for (const int signal : kCrashSignals)
        ::sigaction(signal, &action, nullptr);
}
