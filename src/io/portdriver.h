// The keying port driver: opens and closes the selected serial or parallel
// port and switches its key, PTT and DFCW lines. No timing here. UI thread only.
#pragma once

#include <cstdint>
#include <string>

extern bool PortOpen;
extern int ComHandle;
extern int LptHandle;
extern int LineHandle; // the GPIO lines or the radio
extern std::uint16_t LptBase;
extern std::uint8_t LptLatch;

// Every opening leaves key, PTT and DFCW low: a serial port's lines are
// lowered at once (the tty raised them), a parallel port's data register gets
// key and PTT/DFCW low with pins 4 to 9 high, its control pins low. A port
// number that names no port opens nothing and says so on standard error.
void OpenSelectedPort();
// Why the last OpenSelectedPort left the port closed, for the window that
// reports it; empty when nobody can say.
std::string PortOpenFailure();
// Closing changes no line, except a DFCW pin of its own (DX4WIN-compatible
// wiring), which goes low: callers switch key and PTT off first.
void CloseSelectedPort();
void OpenComPort(int n);
void CloseComPort();
void OpenLptPort(int n);
void CloseLptPort();
// The named lines of PortNumber (kPortGpio, kPortHamlib), all inactive.
void OpenLinePort();

// Key off, PTT off, and DFCW low where it has a pin of its own.
void SwitchLinesOff();
// Key off, PTT off, then close (DFCW low with it): every way out of the
// program passes here, as parallel-port pins keep their state after the
// process ends.
void ReleasePort();

// Do nothing at all while PortOpen is false. A request the device fails
// (EIO from an unplugged adapter) loses the port: one line on standard error
// and in the line log, the handle is given up, and the port stays open for the
// callers, whose requests are kept but reach nothing until it is back.
void SetKey(bool on);
void SetPtt(bool on);
void SetDfcw(bool level);

// The device of the open port failed and is not back yet.
bool PortLost();
// Called about once a second: opens the lost port's device path again; when
// it is back, all lines low, then PTT and DFCW as last asked for (where they
// share one output, only the last request); the key follows from its next
// request, never in the middle of a mark.
void RetryLostPort();
// What the transmit window's status line says about the port: empty when all
// is well, otherwise that it is lost, or back for a few seconds after it.
std::string PortNote();
