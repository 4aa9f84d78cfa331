#pragma once

// `vantrel --release-port`: opens the port selected in the current folder's
// VANTREL.SET (device paths as for the program: VANTREL_COMn, VANTREL_LPTn,
// VANTREL_PORT), switches key and PTT off and closes it. What an operator or
// a service manager runs after the program was killed or the computer lost
// power. Needs no display.
bool IsReleasePortCommand(int argc, char* argv[]);
// The exit status: 0 when released (or no port is selected), non-zero with
// the reason on standard error when the port cannot be opened.
int ReleasePortCommand();
