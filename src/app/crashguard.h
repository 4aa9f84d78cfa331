#pragma once

// Start-up, before any port or log opens: a line log on a pipe whose reader
// left, or one at the file-size limit, must not end the program (SIGPIPE and
// SIGXFSZ are ignored, the write fails instead); and a crash (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT, SIGQUIT) switches key and PTT off on the open port
// first (and no other thread switches a line after it), then ends the
// program as the signal would, core dump included.
void InstallCrashGuard();
