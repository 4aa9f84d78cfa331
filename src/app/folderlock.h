// One Vantrel per folder: the program takes the lock of its settings file
// before anything else touches the folder or a port. UI thread only; after
// the QApplication exists and the display decision (Headless) is made.
#pragma once

// The exit status of a start refused because another Vantrel holds the lock.
inline constexpr int kSettingsInUse = 4;

// True when this run may go on: it holds the lock, or no lock can be taken
// there (a read-only folder; said on standard error). False when another
// Vantrel holds it: said on standard error and, with a display, in the
// message dialog; the caller ends with kSettingsInUse.
bool LockFolderForRun();
