// Standard error as the journal's stream. Under a service manager that
// connects standard error to the journal (JOURNAL_STREAM names its device and
// inode) every line gets its priority as a "<N>" prefix, which the journal
// takes off and keeps: errors <3>, warnings <4>, the rest <6>.
#pragma once

#include <string>

// True when JOURNAL_STREAM ("DEV:INODE") names what fd 2 is.
bool StderrIsJournal();

// The priority of one line that the program writes to standard error.
int JournalPriority(const std::string& line);

// From here on every line on standard error carries its prefix, when it is
// the journal. Call first in main, on the main thread.
void PrefixJournalPriorities();

// One line naming `signal` for a crash ("vantrel: crashed by SIGSEGV: key and
// PTT off"), written with one write(2): async-signal-safe.
void WriteCrashLine(int signal);
