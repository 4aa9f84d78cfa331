// Changing how the keying lines sit on the port: the serial line assignment
// (ComSwap) and the parallel-port wiring (LptWiring). UI thread only.
#pragma once

#include <cstdint>

// Stores both. While a port is open and either changes, key, PTT and DFCW
// are switched off in the old assignment and then in the new one: no pin
// that either wiring reads as a line stays high from the other.
void AssignLines(bool comSwap, std::uint8_t lptWiring);
