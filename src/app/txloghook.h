// Connects the transmission log (VANTREL_TX_LOG) to the transmit window's
// engine. UI thread only; after CreateForms.
#pragma once

#include <string>

// An empty path logs nothing to a file. A headless run also writes one line
// per start, end and stop to standard error.
void StartTxLog(const std::string& path);
