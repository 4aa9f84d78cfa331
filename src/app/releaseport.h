#pragma once

// `vantrel --release-port`: opens the port selected in the current folder's
// VANTREL.SET (device paths as for the program: VANTREL_COMn, VANTREL_LPTn,
// VANTREL_PORT), switches key and PTT off and closes it. What an operator or
// a service manager runs after the program was killed or the computer lost
// power. Needs no display.
bool IsReleasePortCommand(int argc, char* argv[]);
// Not while a Vantrel runs with these settings (it holds their lock): that
// one's port is left alone. The exit status: 0 when released (or no port is
// selected), non-zero with the reason on standard error otherwise (4: a
// Vantrel runs with these settings).
int ReleasePortCommand();
