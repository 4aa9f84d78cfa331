// Changing how the keying lines sit on the port: the serial line assignment
// (ComSwap) and the parallel-port wiring (LptWiring). UI thread only.
#pragma once

#include <cstdint>

// Stores both. While a port is open and either changes, key and PTT are
// switched off at once in the new assignment: the lines it now reads as key
// and PTT may stand high from the old one (a parallel port opens with every
// data pin high, which the standard wiring reads as key down and PTT on).
void AssignLines(bool comSwap, std::uint8_t lptWiring);
