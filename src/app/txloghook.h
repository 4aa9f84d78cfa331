// Connects the transmission log (VANTREL_TX_LOG) to the transmit window's
// engine. UI thread only; after CreateForms.
#pragma once

#include <string>

// An empty path logs nothing.
void StartTxLog(const std::string& path);
