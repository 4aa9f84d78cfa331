// One Vantrel at a time per settings file: a second one would remove the
// first one's temporary save files and overwrite its settings. The lock is a
// POSIX record lock on "VANTREL.SET.lock" beside the file the settings name
// leads to (links followed). The kernel drops it when the process ends, a
// crash or SIGKILL included, so no stale lock is ever left to clear; and it
// names its holder's process id (F_GETLK). UI thread only.
#pragma once

#include "settingsfile.h"

#include <string>
#include <sys/types.h>

struct SettingsLock {
    enum State { Held, Busy, Unavailable };
    State state = Unavailable;
    pid_t holder = 0;      // Busy: the process that holds it; 0 when it cannot be seen (another PID namespace)
    std::string lockPath;  // the lock file
    std::string problem;   // Unavailable: why no lock could be taken
};

// Takes the lock for the rest of the process (or until UnlockSettingsFile)
// and writes this process's id into the lock file. Never waits. Taking it
// again while held answers Held.
SettingsLock LockSettingsFile(const std::string& path = kSettingsFileName);
// Gives the lock up (tests, and a command that is done with the folder).
void UnlockSettingsFile();

// What to tell the user: for Busy, that another Vantrel (with its id) uses
// the settings file; for Unavailable, that a second Vantrel would go
// unnoticed. Empty for Held.
std::string SettingsLockText(const SettingsLock& lock, const std::string& path = kSettingsFileName);
