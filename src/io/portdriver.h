// The keying port driver: opens and closes the selected serial or parallel
// port and switches its key, PTT and DFCW lines. No timing here. UI thread only.
#pragma once

#include <cstdint>

extern bool PortOpen;
extern int ComHandle;
extern int LptHandle;
extern std::uint16_t LptBase;
extern std::uint8_t LptLatch;

void OpenSelectedPort();
void CloseSelectedPort();
void OpenComPort(int n);
void CloseComPort();
void OpenLptPort(int n);
void CloseLptPort();

// Key off, PTT off, then close: every way out of the program passes here, as
// parallel-port pins keep their state after the process ends.
void ReleasePort();

// Do nothing at all while PortOpen is false.
void SetKey(bool on);
void SetPtt(bool on);
void SetDfcw(bool level);
