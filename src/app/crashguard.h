#pragma once

// What Vantrel does with each signal whose default action ends a process; no
// such signal ends it with a line left on.
enum class SignalWay {
    Default, // does not end the process, or cannot be caught (SIGKILL, SIGSTOP)
    Ignore,  // SIGPIPE, SIGXFSZ: a line log on a pipe whose reader left, or at
             // the file-size limit, must not end the program; the write fails instead
    Crash,   // the core-dumping ones: key and PTT off on the open port first, by
             // async-signal-safe calls only, then the end as the signal would make it
    Release  // all others (SIGTERM, SIGINT, SIGHUP, SIGUSR1, ..., the real-time
             // signals): the end as Exit makes it, lines off, port released, settings saved
};

SignalWay WayOf(int signal);

// Start-up, before any port or log opens: the Ignore and Crash signals.
void InstallCrashGuard();

// The Release signals write one byte to `fd` each, for the UI thread to end
// the program by. Before any port opens.
void InstallReleaseSignals(int fd);
