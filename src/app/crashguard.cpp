#include "crashguard.h"

#include "io/emergency.h"
#include "journal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t releaseFd = -1;

// Async-signal-safe calls only. The fence keeps every other thread from the
// port from here on. SA_RESETHAND has put back the default action; the signal
// stays blocked until the handler returns, and is then delivered again with
// that action (a fault also recurs at its instruction).
void OnCrash(int signal)
{
    CrashLinesOff();
    WriteCrashLine(signal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnRelease(int)
{
    const int savedErrno = errno; // the interrupted code may be about to read it
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(releaseFd, &byte, 1);
    errno = savedErrno;
}

void Install(SignalWay way, void (*handler)(int), int flags)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (int signal = 1; signal <= SIGRTMAX; ++signal)
        if (WayOf(signal) == way)
            ::sigaction(signal, &action, nullptr);
}

} // namespace

// signal(7): the default action of each; every real-time signal ends the process.
SignalWay WayOf(int signal)
{
    switch (signal) {
    case SIGPIPE: case SIGXFSZ:
        return SignalWay::Ignore;
    case SIGQUIT: case SIGILL: case SIGTRAP: case SIGABRT: case SIGBUS: case SIGFPE: case SIGSEGV:
    case SIGXCPU: case SIGSYS:
        return SignalWay::Crash;
    case SIGHUP: case SIGINT: case SIGUSR1: case SIGUSR2: case SIGALRM: case SIGTERM: case SIGSTKFLT:
    case SIGIO: case SIGPROF: case SIGVTALRM: case SIGPWR:
        return SignalWay::Release;
    default:
        return signal >= SIGRTMIN && signal <= SIGRTMAX ? SignalWay::Release : SignalWay::Default;
    }
}

void InstallCrashGuard()
{
    Install(SignalWay::Ignore, SIG_IGN, 0);

    // A stack overflow leaves no stack for the handler: it runs on its own.
    static char altStack[64 * 1024];
    stack_t stack {};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof altStack;
    const bool onStack = ::sigaltstack(&stack, nullptr) == 0;
    Install(SignalWay::Crash, OnCrash, SA_RESETHAND | (onStack ? SA_ONSTACK : 0));
}

void InstallReleaseSignals(int fd)
{
    releaseFd = fd;
    Install(SignalWay::Release, OnRelease, SA_RESTART);
}
