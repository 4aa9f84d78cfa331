// Connects the transmission log (VANTREL_TX_LOG) to the transmit window's
// engine. UI thread only; after CreateForms.
#pragma once

#include <string>

// An empty path logs nothing to a file. A headless run also writes one line
// per start, end and stop to standard error.
void StartTxLog(const std::string& path);
// A signal ends the program: a transmission under way is logged as stopped
// by it. Before the transmit window closes.
void LogSignalStop();
