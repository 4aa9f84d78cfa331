#pragma once

class QObject;

// Tries a lost keying port again about once a second, from the UI thread's
// event loop (modal windows' loops included); see RetryLostPort.
void WatchLostPort(QObject* owner);
